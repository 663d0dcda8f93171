#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in the prefix given by
# WINEPREFIX (by default one kept in the build folder's parent cache). Used by
# CTest as the emulator for the cross-built tests.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${OFFICER_CACHE_DIR:-/var/cache/officer-maker}/wine-tests}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver --wait || true
fi
exec wine "$@"
