#!/usr/bin/env bash
# Keeps the layers of src/ apart: app sees ui, document and core; ui sees
# document and core; document sees core; core sees only itself, Qt Core and
# zlib. Fails when a file includes a header of a layer above its own, or when
# the core library links anything but Qt Core and zlib. Takes the build
# folder, in which CMake has written what the core library links.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

layers=(core document ui app)
rank() {
    local i
    for i in "${!layers[@]}"; do
        if [ "${layers[$i]}" = "$1" ]; then
            echo "$i"
            return
        fi
    done
    echo -1
}

# The layer whose folder holds the header, or nothing.
owner_of() {
    local l
    for l in "${layers[@]}"; do
        if [ -f "src/$l/$1" ]; then
            echo "$l"
            return
        fi
    done
}

failures=0
fail() {
    echo "check-layers: $*" >&2
    failures=$((failures + 1))
}

# Every quoted include names a header of some layer, or a form or moc file
# that CMake makes for the ui layer.
for file in src/*/*; do
    layer=$(basename "$(dirname "$file")")
    own=$(rank "$layer")
    [ "$own" -ge 0 ] || { fail "$file lies in no layer"; continue; }
    while IFS= read -r header; do
        case $header in
        ui_*.h) owner=ui ;;
        *.moc | moc_*.cpp) continue ;;
        *)
            owner=$(owner_of "$header")
            [ -n "$owner" ] || { fail "$file includes \"$header\", which no layer holds"; continue; }
            ;;
        esac
        [ "$(rank "$owner")" -le "$own" ] \
            || fail "$file ($layer) includes \"$header\" from $owner, a layer above it"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

# The core library's link libraries, as CMake resolved them.
links_file=$build/layers/officer_core-links.txt
if [ ! -f "$links_file" ]; then
    fail "$links_file is missing; configure the build first"
else
    links=$(tr -d '\n' < "$links_file")
    [ "$links" = "Qt5::Core;ZLIB::ZLIB" ] \
        || fail "the core library links \"$links\"; it may link only Qt5::Core and ZLIB::ZLIB"
fi

# Qt headers of the core come from Qt Core alone.
while IFS=: read -r file header; do
    case $header in
    QtCore/*) ;;
    *) fail "$file includes <$header>" ;;
    esac
done < <(grep -H -o '^#include <Qt[A-Za-z]*/[A-Za-z_.]*>' src/core/* | sed 's/#include <\(.*\)>/\1/')

if [ "$failures" -ne 0 ]; then
    echo "check-layers: $failures problem(s)" >&2
    exit 1
fi
echo "check-layers: the layers are kept apart"
