# Shared by the scripts in windows/: the Debian packages the Windows build
# needs, and where the static Qt for Windows is kept.

# For building Qt for Windows from Debian's source.
WINDOWS_QT_PACKAGES=(g++-mingw-w64-x86-64-posix dpkg-dev perl python3 make)
# For building the program, running its tests under Wine and packaging it.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix cmake wine wine64 nsis icoutils librsvg2-bin zip unzip
    x11-utils xvfb xdotool
    qttranslations5-l10n python3)

OFFICER_CACHE_DIR=${OFFICER_CACHE_DIR:-/var/cache/officer-maker}

windows_qt_prefix() {
    local version
    version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
    echo "$OFFICER_CACHE_DIR/qt-${version//[:+~]/_}-win64"
}
