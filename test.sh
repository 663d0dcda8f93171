#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first in a normal
# build, whose Debian package is then made and checked, and then in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${BUILD_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
scripts/check-layers.sh build
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# The Debian package made from the release build, unpacked and started.
install_packages "${PACKAGE_CHECK_PACKAGES[@]}"
scripts/check-package.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DOFFICER_SANITIZE=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ctest --output-on-failure -j "$jobs")
