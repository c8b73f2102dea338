#!/usr/bin/env bash
# Builds the Debian package in build-package/ (a release build of the two programs only), lints
# it, installs it with apt as a user would, checks the installed files and removes it again
# (unless it was installed before, or --keep is given). Needs root for apt; test.sh calls it
# when run as root.
# Usage: scripts/check-package.sh [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."
keep=${1:-}
build=build-package

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_TESTS=OFF \
    -DQM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build"
rm -f "$build"/quillmorn_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/quillmorn_*_amd64.deb)
echo "check-package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB," \
    "$(dpkg-deb -f "$deb" Installed-Size) KiB installed"
echo "check-package: Depends: $(dpkg-deb -f "$deb" Depends)"
# Errors fail the check; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "check-package: lintian reports no error"

installed_before=no
if dpkg-query -W -f='${Status}' quillmorn 2>/dev/null | grep -q 'install ok installed'; then
    installed_before=yes
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "$deb" >/dev/null

failures=()
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if ! "$@" >/dev/null 2>&1; then
        failures+=("$what")
    fi
}
stripped() { file -b "$1" | grep -q ', stripped'; }
links_all() { ! ldd "$1" | grep -q 'not found'; }
for program in qmorn qmornclean; do
    check "$program on PATH at /usr/bin" test "$(command -v "$program")" = /usr/bin/$program
    check "$program stripped" stripped /usr/bin/$program
    check "$program finds every library" links_all /usr/bin/$program
done
desktop=/usr/share/applications/quillmorn.desktop
check "desktop entry installed" test -f $desktop
check "desktop entry valid" desktop-file-validate $desktop
check "desktop entry declares archive types" grep -q '^MimeType=.*application/zip' $desktop
check "icon in hicolor" test -f /usr/share/icons/hicolor/scalable/apps/quillmorn.svg
check "copyright file" test -f /usr/share/doc/quillmorn/copyright
if [ -f /usr/share/applications/mimeinfo.cache ]; then
    check "zip archives open with Quillmorn" \
        grep -q '^application/zip=.*quillmorn.desktop' /usr/share/applications/mimeinfo.cache
fi
# The installed program starts and stays up with its main menu (timeout ends it: status 124).
home=$(mktemp -d /tmp/qm-package-XXXXXX)
status=0
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home \
    QT_QPA_PLATFORM=offscreen timeout 5 qmorn >/dev/null 2>&1 || status=$?
check "qmorn starts and shows its main menu" test "$status" = 124
rm -rf "$home"

if [ "$installed_before" = no ] && [ "$keep" != --keep ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge -o DPkg::Lock::Timeout=600 \
        quillmorn >/dev/null
fi
if [ ${#failures[@]} -gt 0 ]; then
    printf 'check-package: FAILED: %s\n' "${failures[@]}"
    exit 1
fi
echo "check-package: installed and checked: programs on PATH, stripped, desktop entry, MIME types, icon"
