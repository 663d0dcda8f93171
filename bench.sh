#!/usr/bin/env bash
# Installs what is missing, makes a release build and runs the benchmarks.
# Standard output gets one line per figure, "name: value unit", each the
# median of repeated runs; the build's output goes to standard error.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${BUILD_PACKAGES[@]}" >&2

export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >&2
cmake --build build -j "$(nproc)" --target officer-bench officer-bench-launch officer-bench-form officer-bench-bare \
    officer-bench-floor officer-maker-cli >&2
exec build/bench/officer-bench
