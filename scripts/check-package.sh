#!/usr/bin/env bash
# Builds the Debian package from the release build in build/ and checks it:
# the files it installs, its control fields, its desktop entry and AppStream
# metadata, and that the program it installs finds its name pools and shows
# no warning box, both when started in an empty folder (it then reads the
# pools from the package's folder beside its bin folder) and when started the
# way the desktop entry starts it (in the Path= folder).
#
# Two negative controls must show the warning box instead: a copy of the
# program with no share/officer-maker beside its bin folder, started in an
# empty folder, and the unpacked program started in a folder that holds only
# girlName.dat (a working folder with any of the pools is the one read, and
# familyName.dat is not in it).
#
# Each of these is started twice:
# - on the offscreen platform under strace, which shows from which folder
#   the program opened each name pool, or failed to (the box is shown exactly
#   when one of them cannot be opened);
# - on a virtual X display (Xvfb), where the windows it shows can be listed:
#   the box is a window titled 錯誤, and it is shown from the main window's
#   constructor, so once the main window is on screen no pool warning can
#   follow.
#
# The command line the package installs beside the program is run from the
# unpacked package as a player runs it, with no display: it lists, generates,
# links fathers, exports, updates, copies and pastes officers, with the
# package's name pools, and checks and fixes a damaged copy; it links no Qt
# library but Qt Core; its bash completion completes its commands and options.
#
# Each check prints a PASS or FAIL line; the script exits non-zero when any
# check fails.
set -uo pipefail
cd "$(dirname "$0")/.."

build=build
package=officer-maker
main_title=龍旗戰記新武將作成器
box_title=錯誤
pools=(familyName.dat boyName.dat girlName.dat)
# Where the package puts its files, relative to the root of the file system.
bin_file=usr/bin/officer-maker
cli_file=usr/bin/officer-maker-cli
completion_file=usr/share/bash-completion/completions/officer-maker-cli
pool_dir=usr/share/officer-maker
desktop_file=usr/share/applications/officer-maker.desktop
metainfo_file=usr/share/metainfo/officer-maker.metainfo.xml
icon_file=usr/share/icons/hicolor/scalable/apps/officer-maker.svg

check_name=check-package
source scripts/checks.sh

# Resolved, so that the folders the program opened files in can be told
# relative to it.
work=$(realpath "$(mktemp -d)")
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
# The program is started in traditional Chinese, the language of the titles
# above, whatever the machine's language or the language chosen in the
# program's menu: in the C locale, with settings of its own.
program_env=(XDG_CONFIG_HOME="$work/config" LANGUAGE= LC_ALL=C.UTF-8)

for tool in appstreamcli bash cpack lintian dpkg-deb dpkg-shlibdeps desktop-file-validate file objdump strace timeout Xvfb xwininfo; do
    command -v "$tool" >/dev/null \
        || abort "tool $tool is missing (scripts/common.sh lists the packages: PACKAGE_CHECK_PACKAGES)"
done

# --- The package -------------------------------------------------------------

[ -f "$build/CMakeCache.txt" ] \
    || abort "no build in $build/ (configure and build it first: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release)"
rm -f "$build/$package"_*.deb
if (cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1; then
    pass "cpack -G DEB in $build/"
else
    sed 's/^/    /' "$work/cpack.log"
    abort "cpack -G DEB in $build/"
fi
debs=("$build/$package"_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || abort "exactly one $package .deb in $build/ (found: ${debs[*]})"
deb=${debs[0]}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
field() { dpkg-deb -f "$deb" "$1"; }
check "file name is ${package}_${version}_${arch}.deb ($(basename "$deb"))" \
    [ "$(basename "$deb")" = "${package}_${version}_${arch}.deb" ]
check "Package: $(field Package)" [ "$(field Package)" = "$package" ]
check "Version: $(field Version)" [ "$(field Version)" = "$version" ]
check "Architecture: $(field Architecture)" [ "$(field Architecture)" = "$arch" ]
check "Section: $(field Section)" [ "$(field Section)" = misc ]
check "Maintainer: $(field Maintainer)" grep -qE '^[^<]+ <[^@>]+@[^>]+>$' <<<"$(field Maintainer)"
check "Recommends: $(field Recommends)" [ "$(field Recommends)" = "fonts-noto-cjk | fonts-wqy-microhei" ]
# The packages in Depends, one a line, without versions or alternatives.
depends() { field Depends | tr ',|' '\n\n' | sed -E 's/^ *//; s/[ (].*//' | sed '/^$/d'; }
check "Depends (from dpkg-shlibdeps) names the Qt libraries: $(field Depends)" \
    grep -qx libqt5widgets5 <<<"$(depends)"
check "Depends names qttranslations5-l10n (Qt's own translation, loaded at start-up)" \
    grep -qx qttranslations5-l10n <<<"$(depends)"
check "Depends names libopencc-data (OpenCC's s2t.json, read to convert names)" \
    grep -qx libopencc-data <<<"$(depends)"
check "Description: $(field Description | head -n1)" [ -n "$(field Description)" ]

# Debian's own checker: no error and no warning.
if lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
    pass "lintian reports no error or warning"
else
    sed 's/^/    /' "$work/lintian.log"
    fail "lintian reports no error or warning"
fi

# --- Its contents --------------------------------------------------------------

dpkg-deb -c "$deb" >"$work/contents" || abort "dpkg-deb -c lists the package's contents"
# A file in the contents list: a regular file, not empty, with the given mode.
holds() {
    local path=$1 mode=$2
    awk -v path="./$path" -v mode="$mode" '
        $6 == path && $1 == mode && $3 > 0 { found = 1 }
        END { exit !found }' "$work/contents"
}
check "contents hold /$bin_file (executable)" holds "$bin_file" -rwxr-xr-x
check "contents hold /$cli_file (executable)" holds "$cli_file" -rwxr-xr-x
check "contents hold /$completion_file" holds "$completion_file" -rw-r--r--
for pool in "${pools[@]}"; do
    check "contents hold /$pool_dir/$pool" holds "$pool_dir/$pool" -rw-r--r--
done
check "contents hold /$desktop_file" holds "$desktop_file" -rw-r--r--
check "contents hold /$icon_file" holds "$icon_file" -rw-r--r--
check "contents hold /$metainfo_file" holds "$metainfo_file" -rw-r--r--
for doc in usr/share/doc/$package/changelog.gz usr/share/doc/$package/copyright \
    usr/share/man/man1/$package.1.gz usr/share/man/zh_TW/man1/$package.1.gz \
    usr/share/man/man1/$package-cli.1.gz usr/share/man/zh_TW/man1/$package-cli.1.gz; do
    check "contents hold /$doc" holds "$doc" -rw-r--r--
done

root=$work/root
dpkg -x "$deb" "$root" || abort "dpkg -x unpacks the package"
pass "dpkg -x unpacks the package into a temporary root"

for pool in "${pools[@]}"; do
    check "unpacked $pool is the same as data/$pool" cmp -s "data/$pool" "$root/$pool_dir/$pool"
done
# The program converts typed names with the OpenCC library, whose package
# also carries the dictionaries that s2t.json names.
check "the program links libopencc.so.1.1" \
    grep -qx 'libopencc\.so\.1\.1' <<<"$(objdump -p "$root/$bin_file" | sed -n 's/^ *NEEDED *//p')"
check "Depends (from dpkg-shlibdeps) names libopencc1.1" grep -qx libopencc1.1 <<<"$(depends)"
copyright=$root/usr/share/doc/$package/copyright
check "copyright: the program is under the GPL, version 3 or later (Files: * / License: GPL-3+)" \
    grep -Pzq 'Files: \*\nCopyright: [^\n]*\nLicense: GPL-3\+\n' "$copyright"
check "LICENSE holds the GNU GPL, version 3 (/usr/share/common-licenses/GPL-3)" \
    cmp -s LICENSE /usr/share/common-licenses/GPL-3
check "copyright: OpenCC's licence, Apache-2.0, is stated" grep -qx 'License: Apache-2.0' "$copyright"
check "unpacked icon is an SVG image ($(file -b --mime-type "$root/$icon_file"))" \
    [ "$(file -b --mime-type "$root/$icon_file")" = image/svg+xml ]

# --- The command line -------------------------------------------------------------

cli=$root/$cli_file
needed=$(objdump -p "$cli" | sed -n 's/^ *NEEDED *//p')
check "the command line links Qt Core" grep -q '^libQt5Core\.so' <<<"$needed"
check "the command line links no other Qt library ($(grep '^libQt5' <<<"$needed" | paste -sd' ' -))" \
    [ "$(grep -c '^libQt5' <<<"$needed")" -eq 1 ]
# As a player runs it: in a folder of his own, no display, no platform for
# windows, traditional Chinese.
cli_dir=$work/cli
mkdir -p "$cli_dir/other"
head -c 262144 /dev/zero >"$cli_dir/editdata.rqv"
cp "$cli_dir/editdata.rqv" "$cli_dir/other/editdata.rqv"
run_cli() {
    env -C "$cli_dir" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${program_env[@]}" \
        XDG_DATA_HOME="$work/cli-data" timeout 60 "$cli" "$@"
}
# The officers of a data file, as list counts them.
occupied() { run_cli list "$1" | wc -l; }
said=$(run_cli generate editdata.rqv --men 20 --women 10 --families 5 2>&1)
check "command line: generate 20 men and 10 women in 5 families with the package's pools (${said//$'\n'/ })" \
    [ "$said" = "$(printf '已生成30名武將。\n已保存editdata.rqv。')" ]
generated_and_backed_up() { [ "$(occupied editdata.rqv)" = 30 ] && [ -f "$cli_dir/editdata.rqv.bak" ]; }
check "command line: the file holds 30 officers, and its backup lies beside it" generated_and_backed_up
# The children of a batch's families have their fathers already; men of a
# second batch without families get theirs now.
run_cli generate editdata.rqv --men 10 >/dev/null 2>&1
said=$(run_cli fathers editdata.rqv 2>&1)
check "command line: fathers (${said//$'\n'/ })" \
    [ "$said" = "$(printf '已匹配父子關係。\n已保存editdata.rqv。')" ]
check "command line: list shows every officer in 6 fields" \
    [ "$(run_cli list editdata.rqv | awk -F '\t' 'NF == 6' | wc -l)" = 40 ]
run_cli export editdata.rqv officers.csv >/dev/null 2>&1
sed -i '2s/^700,\([^,]*\),\([^,]*\),150,/700,\1,\2,151,/' "$cli_dir/officers.csv"
said=$(run_cli update editdata.rqv officers.csv 2>&1)
check "command line: update from the exported CSV with one cell changed ($(head -n1 <<<"$said"))" \
    grep -q '^700 .* 生年：150 → 151$' <<<"$said"
run_cli code editdata.rqv 700 701 >"$cli_dir/code.txt" 2>/dev/null
check "command line: code for two officers" grep -q '^OFFICERS1:' "$cli_dir/code.txt"
run_cli paste other/editdata.rqv code.txt >/dev/null 2>&1
check "command line: paste them into another file" [ "$(occupied other/editdata.rqv)" = 2 ]
run_cli frob >/dev/null 2>&1
check "command line: an unknown command gives exit status 2" [ $? -eq 2 ]
check "command line: --help speaks Chinese" grep -q '^用法：officer-maker-cli' <<<"$(run_cli --help)"
# check finds nothing wrong with what the program wrote; on a copy damaged as
# a hand-edited file may be (the two father fields of 701 differ, 702 is his
# own father), it finds the two errors, fix mends them after a backup, and
# check finds nothing again.
# The last run of check, fix: its exit status and what it said.
run_checked() {
    said=$(run_cli "$@" 2>&1)
    status=$?
}
found_nothing() { [ "$status" -eq 0 ] && [ -z "$said" ]; }
found_two_errors() {
    [ "$status" -eq 1 ] && [ "$(wc -l <<<"$said")" = 2 ] \
        && [ "$(grep -c '^70[12] .* 錯誤 父親\(欄不一致\|是自己\)：' <<<"$said")" = 2 ]
}
mended_two() { [ "$status" -eq 0 ] && grep -qx '已修正2個問題。' <<<"$said"; }
run_checked check editdata.rqv
check "command line: check finds no problem in the file it wrote (exit $status)" found_nothing
cp "$cli_dir/editdata.rqv" "$cli_dir/damaged.rqv"
# Writes the 16-bit number $3 at offset $2 of record $1 of damaged.rqv.
poke() {
    printf '%b' "$(printf '\\x%02x\\x%02x' $(($3 & 255)) $(($3 >> 8)))" \
        | dd of="$cli_dir/damaged.rqv" bs=1 seek=$((16064 + 1118 * $1 + $2)) conv=notrunc status=none
}
poke 1 1096 701
poke 2 1094 702
poke 2 1096 702
cp "$cli_dir/damaged.rqv" "$work/damaged.rqv"
run_checked check damaged.rqv
check "command line: check finds the two errors of a damaged copy (exit $status: ${said//$'\n'/ })" \
    found_two_errors
run_checked fix damaged.rqv
check "command line: fix mends them (exit $status: $(grep '^已' <<<"$said" | paste -sd' ' -))" mended_two
check "command line: fix kept the damaged file as damaged.rqv.bak" \
    cmp -s "$cli_dir/damaged.rqv.bak" "$work/damaged.rqv"
run_checked check damaged.rqv
check "command line: check finds no problem once fixed (exit $status)" found_nothing

# Its completion, as bash-completion loads it.
complete_words() {
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        COMP_LINE=$2
        read -r -a COMP_WORDS <<<"$2"
        [[ $2 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_POINT=${#COMP_LINE}
        _officer_maker_cli
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd" " -' _ "$root/$completion_file" "$1"
}
check "bash completion: officer-maker-cli ge → generate" \
    [ "$(complete_words "officer-maker-cli ge")" = generate ]
check "bash completion: generate FILE --tr → --troops" \
    [ "$(complete_words "officer-maker-cli generate editdata.rqv --tr")" = --troops ]
check "bash completion: --abilities takes super high medium low" \
    [ "$(complete_words "officer-maker-cli generate editdata.rqv --abilities ")" = "high low medium super" ]
check "bash completion: check FILE --e → --errors-only" \
    [ "$(complete_words "officer-maker-cli check editdata.rqv --e")" = --errors-only ]

# --- The desktop entry ----------------------------------------------------------

entry=$root/$desktop_file
desktop-file-validate "$entry" >"$work/validate.log" 2>&1
status=$?
# Hints count too: one, for instance, is given for a second main category,
# which lists the program twice in menus.
silent_success() { [ "$1" -eq 0 ] && [ ! -s "$2" ]; }
check "desktop-file-validate accepts the desktop entry and prints nothing (exit $status)" \
    silent_success "$status" "$work/validate.log"
sed 's/^/    /' "$work/validate.log"

key() { sed -n "s/^$1=//p" "$entry" | head -n1; }
exec_key=$(key Exec)
path_key=$(key Path)
check "desktop entry: Exec=$exec_key" [ "$exec_key" = officer-maker ]
check "desktop entry: Icon=$(key Icon)" [ "$(key Icon)" = officer-maker ]
check "desktop entry: Path=$path_key is the package's name-pool folder /$pool_dir" \
    [ "$path_key" = "/$pool_dir" ]

# --- The AppStream metadata -------------------------------------------------------

metainfo=$root/$metainfo_file
# --strict fails on any issue but pedantic hints.
if appstreamcli validate --no-net --strict "$metainfo" >"$work/appstream.log" 2>&1; then
    pass "appstreamcli validate --no-net --strict accepts the AppStream metadata"
else
    fail "appstreamcli validate --no-net --strict accepts the AppStream metadata"
fi
sed '/^$/d; s/^/    /' "$work/appstream.log"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
check "AppStream metadata launches the package's desktop entry ($launchable)" \
    [ "$launchable" = "$(basename "$desktop_file")" ]

# The desktop entry's command and folder, found in the unpacked root.
program=$root/usr/bin/$exec_key
workdir=$root$path_key
executable_file() { [ -f "$1" ] && [ -x "$1" ]; }
check "Exec= names an executable in the package (/usr/bin/$exec_key)" executable_file "$program"
for pool in "${pools[@]}"; do
    check "Path= folder holds $pool" [ -f "$workdir/$pool" ]
done
executable_file "$program" && [ -d "$workdir" ] || abort "the unpacked program and its Path= folder are there to start"

# The folders the program is started in, besides the Path= folder: an empty
# one, and one that holds only girlName.dat.
empty=$work/empty
mkdir "$empty"
girl_only=$work/girl-only
mkdir "$girl_only"
cp data/girlName.dat "$girl_only/"
# A copy of the program with no share/officer-maker beside its bin folder. It
# keeps its name, by which its windows are found.
copy=$work/copy/bin/$exec_key
mkdir -p "$(dirname "$copy")"
cp "$program" "$copy"

# --- Started on the offscreen platform ----------------------------------------------

# Starts a program in a folder under strace for 3 seconds, in the
# background; one trace file per process or thread goes to the folder
# $work/trace-NAME, the exit status of timeout (124 when the program was
# still running) to $work/trace-NAME.status, and the folder to
# $work/trace-NAME.dir.
run_traced() {
    local program=$1 dir=$2 name=$3
    mkdir "$work/trace-$name"
    printf '%s\n' "$dir" >"$work/trace-$name.dir"
    (
        env -C "$dir" "${program_env[@]}" QT_QPA_PLATFORM=offscreen \
            strace -ff -qq -e trace=open,openat -e signal=none -o "$work/trace-$name/t" \
            -- timeout -k 2 3 "$program" >"$work/offscreen-$name.log" 2>&1
        echo $? >"$work/trace-$name.status"
    ) &
}
# How the program's attempts to open a pool by name ended, each as "opened in
# FOLDER" or "failed in FOLDER", the folder relative to $work; nothing when it
# did not try.
pool_open() {
    local name=$1 pool=$2 dir outcome path
    dir=$(cat "$work/trace-$name.dir")
    grep -hE "^open(at)?\(.*\"([^\"]*/)?${pool//./\\.}\", .*\) = " "$work/trace-$name"/t.* \
        | sed -E -n 's/^[^"]*"([^"]*)".*\) = -1 .*/failed \1/p; s/^[^"]*"([^"]*)".*\) = [0-9]+$/opened \1/p' \
        | while read -r outcome path; do
            path=$(cd "$dir" && realpath -m -- "$(dirname -- "$path")")
            printf '%s in %s\n' "$outcome" "${path#"$work"/}"
        done | sort -u | paste -sd, -
}

# The four runs at once, as each mostly waits.
run_traced "$program" "$empty" empty
run_traced "$program" "$workdir" path
run_traced "$copy" "$empty" copy
run_traced "$program" "$girl_only" girl-only
wait

# A traced run kept running and opened all three pools in one folder.
check_pools_opened() {
    local name=$1 what=$2 folder=$3 status result
    status=$(cat "$work/trace-$name.status")
    check "offscreen, $what: the program still runs after 3 s (exit $status from timeout, 124 expected)" \
        [ "$status" -eq 124 ]
    for pool in "${pools[@]}"; do
        result=$(pool_open "$name" "$pool")
        check "offscreen, $what: $pool opened in $folder (${result:-not tried})" \
            [ "$result" = "opened in $folder" ]
    done
}
check_pools_opened empty "empty folder, from the unpacked /$pool_dir" "root/$pool_dir"
check_pools_opened path "in the Path= folder, from the working directory" "root$path_key"

result=$(pool_open copy familyName.dat)
check "negative control (offscreen, copy without share/officer-maker, empty folder): familyName.dat fails to open in the working directory (${result:-not tried}), so the warning box is due" \
    [ "$result" = "failed in empty" ]
result=$(pool_open girl-only familyName.dat)
check "negative control (offscreen, folder with only girlName.dat): familyName.dat fails to open in the working directory (${result:-not tried}), so the warning box is due" \
    [ "$result" = "failed in girl-only" ]

# --- Started on a virtual X display ---------------------------------------------

# The display number is written by Xvfb to the descriptor given; the display
# is ready once it answers a query.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
display=
for _ in $(seq 100); do
    if grep -qE '^[0-9]+$' "$work/display" 2>/dev/null \
        && DISPLAY=:$(head -n1 "$work/display") xwininfo -root >/dev/null 2>&1; then
        display=:$(head -n1 "$work/display")
        break
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$display" ] || {
    sed 's/^/    /' "$work/xvfb.log"
    abort "Xvfb starts a virtual display"
}

# The titles of the program's windows that are on screen, one a line. A
# window that goes away while it is looked at is left out.
shown_windows() {
    local id title
    LC_ALL=C.UTF-8 DISPLAY=$display xwininfo -root -tree 2>/dev/null \
        | sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": ("officer-maker" "officer-maker").*/\1 \2/p' \
        | while read -r id title; do
            LC_ALL=C.UTF-8 DISPLAY=$display xwininfo -id "$id" 2>/dev/null \
                | grep -q 'Map State: IsViewable' && printf '%s\n' "$title"
        done
}
# Starts a program in a folder and prints the titles of all the windows it
# shows from start-up until 1 s after the first one (waiting up to 30 s for
# that), then ends it. When it shows none, its output goes to stderr.
run_shown() {
    local program=$1 dir=$2 name=$3 pid now seen= after=0
    env -C "$dir" "${program_env[@]}" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        timeout -k 2 60 "$program" >"$work/x-$name.log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do
        now=$(shown_windows)
        [ -n "$now" ] && seen=$(printf '%s\n%s\n' "$seen" "$now" | sed '/^$/d' | sort -u)
        if [ -n "$seen" ]; then
            after=$((after + 1))
            [ "$after" -gt 10 ] && break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$seen" ]; then
        kill -0 "$pid" 2>/dev/null && echo "    (the program is running but shows no window)" >&2 \
            || echo "    (the program has ended)" >&2
        sed 's/^/    /' "$work/x-$name.log" >&2
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    printf '%s\n' "$seen"
}
# Whether a title is among the lines of the list.
has_title() { grep -qxF "$2" <<<"$1"; }
lacks_title() { ! has_title "$@"; }
titles() { paste -sd'|' - <<<"$1"; }

# Starts the unpacked program in a folder, where it must show its main window
# and no warning box.
check_starts() {
    local dir=$1 name=$2 what=$3 shown
    shown=$(run_shown "$program" "$dir" "$name")
    check "X display, $what: the main window $main_title is shown [$(titles "$shown")]" \
        has_title "$shown" "$main_title"
    check "X display, $what: no warning box $box_title is shown" \
        lacks_title "$shown" "$box_title"
}
check_starts "$empty" empty "empty folder"
check_starts "$workdir" path "in the Path= folder"

shown=$(run_shown "$copy" "$empty" copy)
check "negative control (X display, copy without share/officer-maker, empty folder): the warning box $box_title is shown [$(titles "$shown")]" \
    has_title "$shown" "$box_title"
shown=$(run_shown "$program" "$girl_only" girl-only)
check "negative control (X display, folder with only girlName.dat): the warning box $box_title is shown [$(titles "$shown")]" \
    has_title "$shown" "$box_title"

summary
[ "$failures" -eq 0 ]
