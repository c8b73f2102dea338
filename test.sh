#!/usr/bin/env bash
# Installs what is missing, builds the suite once, with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through ctest: the file and catalogue tests
# first as an unprivileged user across a second file system, then (as root) the Debian package
# check, then the whole suite with the end-to-end tests and a short run of every fuzz target
# (built with clang in build-fuzz/). ctest's closing line is the last line of the output.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
export LC_ALL=C.UTF-8

# -O1 keeps the sanitized build quick to compile and the tests quick to run.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DQM_SANITIZE=ON -DQM_FUZZ_SMOKE=ON >/dev/null
cmake --build build

# A file system of 8 MiB, where a move that does not fit must be refused before it starts and a
# 2 GiB file of holes must still fit.
small_fs=/tmp/qm-small-fs
mkdir -p "$small_fs"
if mount -t tmpfs -o size=8m,mode=1777 tmpfs "$small_fs" 2>/dev/null; then
    export QM_SMALL_FS="$small_fs"
    trap 'umount "$small_fs" 2>/dev/null || true' EXIT
else
    echo "test.sh: NO SMALL FILE SYSTEM (mounting needs root): the full-destination tests are skipped"
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# File and catalogue operations again, as an unprivileged user (root may change any file, so only
# this run sees permission faults), and across a real second file system when there is one.
unprivileged_tests='^tst_(fileoperation|foldertree|movewindow|catalogueoperations|listfile|remover|archiveextraction)$'
other_fs=""
if mountpoint -q /dev/shm && [ "$(stat -c %d /dev/shm)" != "$(stat -c %d "${TMPDIR:-/tmp}")" ]; then
    other_fs=/dev/shm
else
    mkdir -p /tmp/qm-other-fs
    if mount -t tmpfs -o size=256m tmpfs /tmp/qm-other-fs 2>/dev/null; then
        other_fs=/tmp/qm-other-fs
    else
        echo "test.sh: NO SECOND FILE SYSTEM: the cross-device tests are skipped"
    fi
fi
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    scratch=$(mktemp -d /tmp/qm-unprivileged-XXXXXX)
    other_scratch=""
    if [ -n "$other_fs" ]; then
        other_scratch=$(mktemp -d "$other_fs/qm-unprivileged-XXXXXX")
        chown nobody "$other_scratch"
    fi
    chown nobody "$scratch"
    chmod -R a+rX build
    mkdir -p build/Testing/Temporary && chmod -R a+rwX build/Testing
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$scratch" TMPDIR="$scratch" \
        XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
        XDG_RUNTIME_DIR="$scratch/runtime" QM_OTHER_FS="$other_scratch" QM_SMALL_FS="${QM_SMALL_FS:-}" \
        ctest --test-dir build --output-on-failure -R "$unprivileged_tests"
    rm -rf "$scratch" ${other_scratch:+"$other_scratch"}
elif [ "$(id -u)" != 0 ]; then
    echo "test.sh: already unprivileged: every test below runs without root"
else
    echo "test.sh: NO UNPRIVILEGED RUN: setpriv or the user nobody is missing"
fi
if [ "$other_fs" = /tmp/qm-other-fs ]; then
    umount /tmp/qm-other-fs
fi

# The Debian package: built, linted, installed and checked (it needs root for apt).
if [ "$(id -u)" = 0 ] && command -v dpkg >/dev/null; then
    scripts/check-package.sh
else
    echo "test.sh: NO PACKAGE CHECK: it needs root and dpkg (run scripts/check-package.sh as root)"
fi

ctest --test-dir build --output-on-failure -j2
