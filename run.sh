#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in the folder
# that holds the bundled name pools.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); try: xvfb-run ./run.sh" >&2
    exit 1
fi

install_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target officer-maker

# A blank data file to try the program on without the game.
if [ ! -f sample/editdata.rqv ]; then
    mkdir -p sample
    head -c 262144 /dev/zero > sample/editdata.rqv
    echo "Created sample/editdata.rqv (a blank data file to try the program on)."
fi

cd data
exec ../build/officer-maker
