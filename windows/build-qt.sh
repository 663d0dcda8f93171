#!/usr/bin/env bash
# Builds a static Qt for Windows x64 (MinGW-w64) from Debian's own qtbase
# source, the same version as qtbase5-dev, once: the result is kept in a cache
# folder outside the checkout and reused while its stamp (version and
# configure line) matches. Prints nothing but progress; the prefix is
# written to stdout as the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source windows/common.sh

install_packages "${BUILD_PACKAGES[@]}" "${WINDOWS_QT_PACKAGES[@]}"

version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
prefix=$(windows_qt_prefix)
configure_line="-xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
-static -static-runtime -release -opensource -confirm-license -nomake examples -nomake tests \
-no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -no-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz \
-no-feature-sql -no-feature-network -no-feature-tabletevent -no-feature-printer \
-no-feature-concurrent -no-feature-xml"
stamp="qtbase-opensource-src $version
$configure_line"

if [ -f "$prefix/officer-maker-stamp" ] && [ "$(cat "$prefix/officer-maker-stamp")" = "$stamp" ]; then
    echo "Qt for Windows: using the cached build in $prefix" >&2
    exit 0
fi

add_deb_src

work="$prefix.build"
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Qt for Windows: fetching qtbase-opensource-src $version" >&2
(cd "$work" && apt-get source --only-source "qtbase-opensource-src=$version" >&2)
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n1)
mkdir -p "$work/build"
cd "$work/build"
echo "Qt for Windows: configuring (log: $work/configure.log)" >&2
# shellcheck disable=SC2086
"$src/configure" -prefix "$prefix" $configure_line >"$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log" >&2; exit 1; }
echo "Qt for Windows: building (log: $work/make.log)" >&2
make -j "$(nproc)" >"$work/make.log" 2>&1 || { tail -n 40 "$work/make.log" >&2; exit 1; }
make install >"$work/install.log" 2>&1 || { tail -n 40 "$work/install.log" >&2; exit 1; }
printf '%s\n' "$stamp" >"$prefix/officer-maker-stamp"
cd /
rm -rf "$work"
echo "Qt for Windows: built into $prefix" >&2
