# Shared by the scripts in windows/: the Debian packages the Windows build
# needs, and where the static Qt for Windows is kept.

# For building Qt for Windows from Debian's source.
WINDOWS_QT_PACKAGES=(g++-mingw-w64-x86-64-posix dpkg-dev perl python3 make)
# For building the program, running its tests under Wine and packaging it.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev cmake wine wine64 nsis icoutils
    librsvg2-bin zip unzip
    x11-utils xvfb xdotool xclip
    qttranslations5-l10n qttools5-dev-tools python3)

OFFICER_CACHE_DIR=${OFFICER_CACHE_DIR:-/var/cache/officer-maker}

windows_qt_prefix() {
    local version
    version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
    echo "$OFFICER_CACHE_DIR/qt-${version//[:+~]/_}-win64"
}

# Where the licence texts of that Qt, which the packages carry, are kept.
windows_qt_notices() {
    echo "$(windows_qt_prefix)-notices"
}

# Sources come from the machine's own suites: adds deb-src entries for them
# when there are none.
add_deb_src() {
    grep -rqs '^\(Types:.*deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/ \
        && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            | "${sudo[@]}" tee /etc/apt/sources.list.d/officer-maker-src.sources >/dev/null
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
            | "${sudo[@]}" tee /etc/apt/sources.list.d/officer-maker-src.list >/dev/null
    fi
    "${sudo[@]}" apt-get update
}
