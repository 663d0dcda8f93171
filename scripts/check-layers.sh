#!/usr/bin/env bash
# Keeps the layers of src/ apart: app sees ui, document and core; ui sees
# document and core; document sees core; core sees only itself. The command
# line, cli, sees core and nothing else. Fails when a file includes a header
# of a layer it may not see, when the core library links anything but Qt
# Core, OpenCC and zlib, or when the command line links anything but the core.
# Takes the build folder, in which CMake has written what they link.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

layers=(core document ui app cli)
# The layers each layer may include from, itself among them.
declare -A sees=(
    [core]="core"
    [document]="core document"
    [ui]="core document ui"
    [app]="core document ui app"
    [cli]="core cli"
)

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
    [ -n "${sees[$layer]:-}" ] || { fail "$file lies in no layer"; continue; }
    while IFS= read -r header; do
        case $header in
        ui_*.h) owner=ui ;;
        *.moc | moc_*.cpp) continue ;;
        *)
            owner=$(owner_of "$header")
            [ -n "$owner" ] || { fail "$file includes \"$header\", which no layer holds"; continue; }
            ;;
        esac
        [[ " ${sees[$layer]} " == *" $owner "* ]] \
            || fail "$file ($layer) includes \"$header\" from $owner, which $layer may not see"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

# What the core library and the command line link, as CMake resolved them:
# each a list separated by semicolons, every entry one of those allowed.
check_links() {
    local target=$1 allowed=$2 links_file=$build/layers/$1-links.txt link
    if [ ! -f "$links_file" ]; then
        fail "$links_file is missing; configure the build first"
        return
    fi
    IFS=';' read -r -a links <<<"$(tr -d '\n' <"$links_file")"
    for link in "${links[@]}"; do
        [[ " $allowed " == *" $link "* ]] \
            || fail "$target links \"$link\"; it may link only: $allowed"
    done
}
check_links officer_core "Qt5::Core PkgConfig::OPENCC ZLIB::ZLIB"
check_links officer_cli "officer_core"
check_links officer-maker-cli "officer_cli"

# Qt headers of the core and the command line come from Qt Core alone.
while IFS=: read -r file header; do
    case $header in
    QtCore/*) ;;
    *) fail "$file includes <$header>" ;;
    esac
done < <(grep -H -o '^#include <Qt[A-Za-z]*/[A-Za-z_.]*>' src/core/* src/cli/* | sed 's/#include <\(.*\)>/\1/')

if [ "$failures" -ne 0 ]; then
    echo "check-layers: $failures problem(s)" >&2
    exit 1
fi
echo "check-layers: the layers are kept apart"
