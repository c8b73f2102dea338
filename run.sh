#!/usr/bin/env bash
# Installs what is missing, builds Quillmorn and starts it; arguments are passed on to qmorn.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target qmorn qmornclean
exec ./build/qmorn "$@"
