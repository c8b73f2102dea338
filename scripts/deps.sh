# Sourced by run.sh and test.sh: installs the Debian packages that are missing.
# Usage: install_missing PACKAGE...

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# What building the program needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libarchive-dev qt6-l10n-tools)
# What running it needs beyond that (fonts for the Japanese texts, Qt's own Japanese texts).
RUN_PACKAGES=(fonts-ipaexfont-gothic qt6-translations-l10n)
# What the tests need beyond that: reference tools that check written files, archive makers for
# fixtures, a virtual X server for the end-to-end tests, clang for fuzzing.
TEST_PACKAGES=(desktop-file-utils liblnk-utils libarchive-tools jlha-utils xvfb xauth xdotool
               python3 python3-xlib clang libclang-rt-14-dev)
