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
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libarchive-dev qt6-l10n-tools
                libsquashfs-dev libglib2.0-dev)
# What running it needs beyond that: fonts for the Japanese texts, Qt's own Japanese texts, the
# SVG plug-ins that draw the program's icon, xdg-open, through which folders are opened, the
# SquashFS library that reads AppImages' icons and names, and GLib's GIO, which moves folders to
# the desktop's trash.
RUN_PACKAGES=(fonts-ipaexfont-gothic qt6-translations-l10n libqt6svg6 xdg-utils libsquashfs1
              libglib2.0-0)
# What the tests need beyond that: reference tools that check written files, archive makers for
# fixtures (squashfs-tools builds test AppImages), a freedesktop menu implementation that reads
# the written menus, a virtual X server and a small window manager for the end-to-end tests, clang
# for fuzzing, the accessibility bus and its Python client for the screen reader test, and what
# builds and lints the Debian package.
TEST_PACKAGES=(desktop-file-utils liblnk-utils libarchive-tools jlha-utils gcab gnome-menus squashfs-tools
               gir1.2-gmenu-3.0 python3-gi xvfb xauth xdotool openbox python3 python3-xlib clang
               libclang-rt-14-dev at-spi2-core python3-pyatspi dbus-daemon dpkg-dev lintian file)
