#!/usr/bin/env bash
# Collects, once, the licence texts that the Windows packages carry for the
# static Qt: Qt's LGPLv3 text and the notices of the third-party code built
# into it (windows/qt-third-party.txt), taken from Debian's qtbase source of
# the same version. They are kept beside the Qt prefix in the cache folder
# and reused while the version and the list match; the folder is written to
# stdout.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source windows/common.sh

version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
notices=$(windows_qt_notices)
stamp="qtbase-opensource-src $version
$(cat windows/qt-third-party.txt windows/qt-notices.py | sha256sum | cut -d' ' -f1)"

if [ "$(cat "$notices/officer-maker-stamp" 2>/dev/null)" != "$stamp" ]; then
    add_deb_src >&2
    mkdir -p "$OFFICER_CACHE_DIR"
    work=$(mktemp -d "$OFFICER_CACHE_DIR/qt-notices.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    echo "Qt for Windows: collecting its licence texts from qtbase-opensource-src $version" >&2
    (cd "$work" && apt-get source --only-source "qtbase-opensource-src=$version" >"$work/source.log" 2>&1) \
        || { tail -n 20 "$work/source.log" >&2; exit 1; }
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n1)
    rm -rf "$notices"
    python3 windows/qt-notices.py "$src" windows/qt-third-party.txt "$version" "$notices"
    printf '%s\n' "$stamp" >"$notices/officer-maker-stamp"
fi
echo "$notices"
