#!/usr/bin/env bash
# The Windows x64 build, made here with MinGW-w64: installs what is missing,
# builds a static Qt for Windows once (kept in /var/cache/officer-maker),
# cross-builds the program and its tests, runs every test suite under Wine on
# the offscreen platform, makes the zip and the installer in dist/, and
# checks both under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source windows/common.sh

started=$(date +%s)
install_packages "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

windows/build-qt.sh
qt=$(windows_qt_prefix)

build=build-win64
jobs=$(nproc)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt"
cmake --build "$build" -j "$jobs"

# The tests, under Wine in a prefix of their own.
export WINEPREFIX=$PWD/$build/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine itself now and then fails to make a window for a test on a busy
# machine, and the test dies without a word; a suite that fails is run once
# more, and a fault of the program fails it again.
(cd "$build" && ctest --output-on-failure -j "$jobs" --repeat until-pass:2)
wineserver --wait || true

windows/package.sh "$build"
windows/check-packages.sh
echo "windows/build.sh: done in $(($(date +%s) - started)) s; packages in dist/"
