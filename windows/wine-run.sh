#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in the prefix given by
# WINEPREFIX (by default one in the cache folder). CTest uses it as the
# emulator for the cross-built tests.
#
# Wine does not hand the QT_ variables of the environment (QT_QPA_PLATFORM
# among them) to Windows programs, so they are written into the prefix's
# user environment instead, together with QT_FORCE_STDERR_LOGGING=1: a Qt
# program without a console would otherwise send its messages, and Qt Test
# its results, to the debugger output.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${OFFICER_CACHE_DIR:-/var/cache/officer-maker}/wine-tests}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
mkdir -p "$WINEPREFIX"

wanted=$( (env | grep '^QT_' | grep -v '^QT_FORCE_STDERR_LOGGING='; echo QT_FORCE_STDERR_LOGGING=1) | sort)
marker=$WINEPREFIX/officer-maker-qt-environment
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init >/dev/null 2>&1 || true
        wineserver --wait || true
    fi
    if [ "$(cat "$marker" 2>/dev/null)" != "$wanted" ]; then
        while IFS= read -r old; do
            [ -n "$old" ] && wine reg delete 'HKCU\Environment' /v "${old%%=*}" /f >/dev/null 2>&1
        done < <(cat "$marker" 2>/dev/null)
        while IFS= read -r variable; do
            wine reg add 'HKCU\Environment' /v "${variable%%=*}" /d "${variable#*=}" /f >/dev/null 2>&1
        done <<<"$wanted"
        wineserver --wait || true
        printf '%s\n' "$wanted" >"$marker"
    fi
) 9>"$WINEPREFIX/officer-maker.lock"
exec wine "$@"
