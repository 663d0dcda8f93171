#!/usr/bin/env bash
# Checks the Windows packages in dist/ under Wine, each in a fresh Wine prefix
# on a virtual X display:
# - the installer, run silently (/S), installs the program, its name pools,
#   OpenCC's dictionaries, the README, the licences, the source tarball and
#   the uninstaller under Program Files, the Start-menu shortcut and the entry
#   in Add/Remove Programs; the zip holds the same dictionaries, licences and
#   source, and the source is the committed tree;
# - the installed program, started from another folder, finds its pools: its
#   main window comes up and no warning box (錯誤) does; a copy of the program
#   alone in a folder, as a negative control, shows the box;
# - the installed program converts a name typed in simplified Chinese: 赵 +
#   云 typed into 姓 and 名 of 生成單個 and saved are written as 趙雲;
# - the uninstaller, run silently, leaves nothing behind: no file, no
#   shortcut, no registry entry;
# - the zip's program, started in a folder whose path holds Chinese
#   characters, opens a blank data file there (Ctrl+O, typing its name into
#   the file dialog), generates a batch and saves it (Ctrl+S): the file then
#   holds the new officers;
# - the zip's command line, officer-maker-cli.exe, in a folder named in
#   Chinese: generates officers with families, links fathers, lists and
#   exports them (redirected, its output is UTF-8), prints the code of two
#   officers and pastes it into another file, refuses wrong usage with exit
#   status 2, checks a damaged copy and fixes it; in a console whose code
#   page is not Chinese (437) its Chinese reads correctly.
# Each check prints a PASS or FAIL line; exits non-zero when any fails.
set -uo pipefail
cd "$(dirname "$0")/.."

main_title=龍旗戰記新武將作成器
box_title=錯誤
pools=(familyName.dat boyName.dat girlName.dat)
build=${1:-build-win64}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=officer-maker-$version-win64
zip=dist/$name.zip
setup=dist/$name-setup.exe
licences=(LICENSE.txt LICENSE-Qt.txt THIRD-PARTY-NOTICES.txt LICENSE-OpenCC.txt)
dictionaries=(opencc/STPhrases.txt opencc/STCharacters.txt)
source_tarball=officer-maker-$version-source.tar.gz

check_name=check-packages
source scripts/checks.sh

work=$(realpath "$(mktemp -d)")
xvfb_pid=
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

for file in "$zip" "$setup"; do
    [ -f "$file" ] || abort "$file is there"
done

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
export DISPLAY=
for _ in $(seq 100); do
    if grep -qE '^[0-9]+$' "$work/display" 2>/dev/null \
        && DISPLAY=:$(head -n1 "$work/display") xwininfo -root >/dev/null 2>&1; then
        DISPLAY=:$(head -n1 "$work/display")
        break
    fi
    sleep 0.1
done
[ -n "$DISPLAY" ] || abort "Xvfb starts a virtual display"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8

new_prefix() {
    export WINEPREFIX=$work/$1
    wineboot --init >"$work/wineboot-$1.log" 2>&1
    wineserver --wait
}

# The titles of the windows on screen, one a line.
shown_windows() {
    xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*\)": (.*/\1/p' | sort -u
}
# Waits up to $2 seconds for a window whose title holds $1.
wait_window() {
    local title=$1 seconds=$2
    for _ in $(seq $((seconds * 5))); do
        shown_windows | grep -qF -- "$title" && return 0
        sleep 0.2
    done
    return 1
}
# Starts a Windows program in a folder, in the background; $! is its pid.
start_in() {
    local dir=$1
    shift
    (cd "$dir" && exec wine "$@" >"$work/program.log" 2>&1) &
    disown
}
stop_program() {
    wineserver -k 2>/dev/null
    wineserver --wait 2>/dev/null
}
# In the program's window $1, opens editdata.rqv of its working folder
# (Ctrl+O, typing the name into the file dialog); true once the title names
# the file.
open_data_file() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 1
    xdotool key ctrl+o
    sleep 3
    xdotool type --delay 50 editdata.rqv
    xdotool key Return
    wait_window "editdata.rqv" 30
}
# Clicks the officer list of the window $1. From there the keyboard focus
# goes with Tab to 姓 first, 名 second, the counts 生成男 and 生成女 14th and
# 15th, 生成單個 16th and 隨機生成 17th.
click_list() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 8)) $((Y + HEIGHT / 2)) click 1
    sleep 0.5
}
tabs() {
    xdotool key --delay 50 $(printf 'Tab %.0s' $(seq "$1"))
}
# Saves with Ctrl+S; true when 保存完成。 showed, which is then closed.
save_data_file() {
    xdotool key ctrl+s
    wait_window "保存" 30 || return 1
    xdotool key Return
    sleep 1
}
# The Big5 bytes, in hex, of the family and given name fields of the first
# record of the data file $1, each cut at its first zero byte.
first_names() {
    python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
record = data[16064:16064 + 1118]
print(record[0:5].split(b"\0")[0].hex(), record[5:35].split(b"\0")[0].hex())' "$1"
}

# --- The installer ---------------------------------------------------------------

new_prefix install
wine "$setup" /S >"$work/setup.log" 2>&1
check "the installer exits with 0 when run silently" [ $? -eq 0 ]
wineserver --wait
dir="$WINEPREFIX/drive_c/Program Files/officer-maker"
for file in officer-maker.exe officer-maker-cli.exe "${pools[@]}" "${dictionaries[@]}" README.txt "${licences[@]}" \
    "$source_tarball" uninstall.exe; do
    check "installed: Program Files\\officer-maker\\${file//\//\\}" [ -s "$dir/$file" ]
done
unzip -q "$zip" -d "$work/zip"
for file in "${dictionaries[@]}" "${licences[@]}" "$source_tarball"; do
    check "the zip holds $file beside the program" [ -s "$work/zip/$name/$file" ]
    check "the installed $file is the zip's" cmp -s "$dir/$file" "$work/zip/$name/$file"
done
for file in "${dictionaries[@]}"; do
    check "$file is the dictionary the build exported" cmp -s "$dir/$file" "$build/$file"
done
licence() { tr -d '\r' <"$work/zip/$name/$1"; }
check "LICENSE.txt is the program's licence, LICENSE (GNU GPL version 3)" \
    cmp -s <(licence LICENSE.txt) LICENSE
check "LICENSE-Qt.txt is the GNU LGPL version 3" \
    grep -qz 'GNU LESSER GENERAL PUBLIC LICENSE.*Version 3, 29 June 2007' <(licence LICENSE-Qt.txt)
check "LICENSE-OpenCC.txt holds the Apache License version 2.0 and OpenCC's copyright" \
    grep -qz 'Copyright: 2010-[0-9]*, BYVoid.*Apache License.*Version 2.0, January 2004' \
    <(licence LICENSE-OpenCC.txt)
for component in "Data Compression Library (zlib)" LibPNG PCRE2 "Freetype 2" HarfBuzz-NG; do
    check "THIRD-PARTY-NOTICES.txt holds the notice of $component" \
        grep -qx -- "$component.*" <(licence THIRD-PARTY-NOTICES.txt)
done
# The tarball is the committed tree, whole.
git archive --format=tar --prefix="officer-maker-$version/" HEAD | tar -t | sort >"$work/committed"
tar -tzf "$work/zip/$name/$source_tarball" | sort >"$work/archived"
check "$source_tarball holds the committed source, file for file" cmp -s "$work/committed" "$work/archived"
check "$source_tarball holds the build files" grep -qx "officer-maker-$version/CMakeLists.txt" "$work/archived"
check "the installed program is the zip's" cmp -s "$dir/officer-maker.exe" "$work/zip/$name/officer-maker.exe"
check "the installed command line is the zip's" \
    cmp -s "$dir/officer-maker-cli.exe" "$work/zip/$name/officer-maker-cli.exe"
for pool in "${pools[@]}"; do
    check "installed $pool is data/$pool" cmp -s "$dir/$pool" "data/$pool"
done
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$main_title.lnk"
check "Start-menu shortcut $main_title.lnk for all users" [ -s "$shortcut" ]
# The working folder is one of its UTF-16 strings, whole (the target's path
# begins with it too, but goes on).
holds_string() {
    python3 -c '
import sys
needle = sys.argv[2].encode("utf-16-le") + b"\0\0"
sys.exit(needle not in open(sys.argv[1], "rb").read())' "$@"
}
check "the shortcut starts the program in its own folder" \
    holds_string "$shortcut" 'C:\Program Files\officer-maker'
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\officer-maker' \
    >"$work/reg.log" 2>&1
check "Add/Remove Programs entry with its uninstaller" grep -q 'UninstallString.*uninstall.exe' "$work/reg.log"
check "Add/Remove Programs entry with the version" grep -q "DisplayVersion.*$version" "$work/reg.log"
# Wine keeps the registry as text, other characters as \x escapes.
display_name=$(printf '%s' "$main_title" | python3 -c 'import sys; print("".join("\\x%04x" % ord(c) for c in sys.stdin.read()))')
check "Add/Remove Programs entry named $main_title" \
    grep -qaF "\"DisplayName\"=\"$display_name\"" "$WINEPREFIX/system.reg"

# --- The installed program, started from another folder ------------------------------

mkdir -p "$work/elsewhere" "$work/alone"
start_in "$work/elsewhere" "C:\\Program Files\\officer-maker\\officer-maker.exe"
wait_window "$main_title" 60
check "started from another folder, the installed program shows its window" [ $? -eq 0 ]
sleep 1
no_box() { ! shown_windows | grep -qxF "$box_title"; }
check "... and no warning box: it found its pools beside the .exe" no_box
stop_program

# Typed in simplified Chinese, 赵 + 云 are written as 趙雲: the installed
# program reads OpenCC's dictionaries beside it. The names go in through the
# clipboard, as an input method would hand them over.
head -c 262144 /dev/zero >"$work/elsewhere/editdata.rqv"
start_in "$work/elsewhere" "C:\\Program Files\\officer-maker\\officer-maker.exe"
if wait_window "$main_title" 60; then
    window=$(xdotool search --name "^$main_title\$" | head -n1)
    open_data_file "$window"
    check "the installed program opens editdata.rqv" [ $? -eq 0 ]
    sleep 1
    click_list "$window"
    for typed in 赵 云; do
        xdotool key Tab
        printf '%s' "$typed" | xclip -selection clipboard >/dev/null 2>&1
        sleep 0.5
        xdotool key ctrl+v
        sleep 0.5
    done
    tabs 14
    xdotool key space
    sleep 1
    save_data_file
    check "it saves the officer generated with 生成單個" [ $? -eq 0 ]
else
    fail "the installed program starts again"
fi
stop_program
expected=$(python3 -c 'print("趙".encode("big5").hex(), "雲".encode("big5").hex())')
written=$(first_names "$work/elsewhere/editdata.rqv")
check "赵 + 云 typed in 生成單個 are written as 趙雲 ($written, Big5 of 趙雲: $expected)" \
    [ "$written" = "$expected" ]

# The negative control: the program alone, without pools beside it.
cp "$dir/officer-maker.exe" "$work/alone/"
start_in "$work/elsewhere" "$work/alone/officer-maker.exe"
wait_window "$box_title" 60
check "negative control: the program alone in a folder shows the warning box" [ $? -eq 0 ]
stop_program

# --- The uninstaller ---------------------------------------------------------------------

wine "$dir/uninstall.exe" /S >"$work/uninstall.log" 2>&1
wineserver --wait
sleep 1
wineserver --wait
check "the uninstaller removes the program's folder" [ ! -e "$dir" ]
check "the uninstaller removes the shortcut" [ ! -e "$shortcut" ]
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\officer-maker' \
    >"$work/reg-after.log" 2>&1
check "the uninstaller removes the Add/Remove Programs entry" [ $? -ne 0 ]
# The dated backups of the saves above are the player's work, kept in the
# user's local application data: the uninstaller leaves them, and nothing else.
userdata=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -ipath '*/AppData/Local/officer-maker' | head -n1)
kept=$([ -n "$userdata" ] && find "$userdata" -path '*/backups/*' -name '*_*.rqv' | head -n1)
check "the uninstaller keeps the player's dated backups" [ -n "$kept" ]
# The runs above end with wineserver -k, so a file lock of the killed program
# may stay in the temporary folder; the next start finds it stale and takes it.
left=$(find "$WINEPREFIX/drive_c" \( -iname 'officer-maker*' -o -name "$main_title*" \) \
    -not -ipath '*/Temp/officer-maker-*.lock' \
    ${userdata:+-not -path "$userdata" -not -path "$userdata/*"})
check "no other file of the program is left anywhere in the prefix" [ -z "$left" ]
[ -z "$left" ] || printf '  left: %s\n' $left
stop_program

# --- The zip's program in a folder named in Chinese -------------------------------------

new_prefix zip
chinese="$work/武將資料/新 武將"
mkdir -p "$chinese"
cp -r "$work/zip/$name/"* "$chinese/"
head -c 262144 /dev/zero >"$chinese/editdata.rqv"
start_in "$chinese" officer-maker.exe
if wait_window "$main_title" 60; then
    pass "the zip's program starts in $chinese"
    window=$(xdotool search --name "^$main_title\$" | head -n1)
    open_data_file "$window"
    check "it opens editdata.rqv there (the title names the file)" [ $? -eq 0 ]
    sleep 1
    # A batch of 5 men and 3 women.
    click_list "$window"
    tabs 14
    xdotool type --delay 50 5
    xdotool key Tab
    xdotool type --delay 50 3
    xdotool key --delay 50 Tab Tab space
    sleep 2
    save_data_file
    check "it saves the file (保存完成。)" [ $? -eq 0 ]
else
    fail "the zip's program starts in $chinese"
fi
stop_program
check "the saved file keeps its size" [ "$(stat -c %s "$chinese/editdata.rqv")" -eq 262144 ]
# Occupied slots: bytes 0 to 3 or 5 to 8 of a record not all zero.
occupied=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
records = [data[16064 + 1118 * i:16064 + 1118 * (i + 1)] for i in range(150)]
print(sum(1 for r in records if any(r[0:4]) or any(r[5:9])))' "$chinese/editdata.rqv")
check "the saved file holds the 8 new officers ($occupied)" [ "$occupied" = 8 ]

# --- The zip's command line in a folder named in Chinese ----------------------------

cli_dir="$chinese/命令列"
mkdir -p "$cli_dir/另一個"
head -c 262144 /dev/zero >"$cli_dir/editdata.rqv"
cp "$cli_dir/editdata.rqv" "$cli_dir/另一個/editdata.rqv"
cli() {
    (cd "$cli_dir" && wine "$chinese/officer-maker-cli.exe" "$@")
}
not_in() { ! grep -q "$1" "$2"; }
# Redirected output is UTF-8 with CR LF line ends.
said() { tr -d '\r' <"$work/cli.out"; }
cli generate editdata.rqv --men 15 --women 5 --families 3 >"$work/cli.out" 2>"$work/cli.err"
check "command line: generate 20 officers in 3 families (exit $?: $(said | paste -sd' ' -))" \
    [ "$(said)" = "$(printf '已生成20名武將。\n已保存editdata.rqv。')" ]
check "command line: the backup lies beside the file" [ -s "$cli_dir/editdata.rqv.bak" ]
cli generate editdata.rqv --men 5 >/dev/null 2>&1
cli fathers editdata.rqv >"$work/cli.out" 2>"$work/cli.err"
check "command line: fathers ($(said | head -n1))" [ "$(said | head -n1)" = 已匹配父子關係。 ]
cli list editdata.rqv >"$work/cli.out" 2>"$work/cli.err"
check "command line: list shows 25 officers in UTF-8 ($(said | head -n1))" \
    [ "$(said | awk -F '\t' 'NF == 6' | wc -l)" = 25 ]
cli export editdata.rqv officers.csv >/dev/null 2>&1
check "command line: export writes the CSV file with its byte order mark" \
    [ "$(head -c 3 "$cli_dir/officers.csv" | od -An -tx1 | tr -d ' ')" = efbbbf ]
cli code editdata.rqv 700 701 >"$cli_dir/code.txt" 2>"$work/cli.err"
check "command line: code for two officers" grep -q '^OFFICERS1:' "$cli_dir/code.txt"
cli paste '另一個\editdata.rqv' code.txt >/dev/null 2>&1
cli list '另一個\editdata.rqv' >"$work/cli.out" 2>/dev/null
check "command line: paste them into another file ($(said | wc -l) officers)" [ "$(said | wc -l)" = 2 ]
cli frob >/dev/null 2>&1
check "command line: an unknown command gives exit status 2" [ $? -eq 2 ]
# check and fix on a copy damaged as a hand-edited file may be: the two
# father fields of 701 differ, 702 is his own father.
cp "$cli_dir/editdata.rqv" "$cli_dir/damaged.rqv"
python3 -c '
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
record = lambda slot: 16064 + 1118 * slot
struct.pack_into("<H", data, record(1) + 1096, 701)
struct.pack_into("<HH", data, record(2) + 1094, 702, 702)
open(sys.argv[1], "wb").write(data)' "$cli_dir/damaged.rqv"
cp "$cli_dir/damaged.rqv" "$work/damaged.rqv"
cli check editdata.rqv >"$work/cli.out" 2>"$work/cli.err"
status=$?
found_nothing() { [ "$status" -eq 0 ] && [ -z "$(said)" ]; }
check "command line: check finds no problem in the file it wrote (exit $status)" found_nothing
cli check damaged.rqv >"$work/cli.out" 2>"$work/cli.err"
status=$?
found_two_errors() {
    [ "$status" -eq 1 ] && [ "$(said | wc -l)" = 2 ] \
        && [ "$(said | grep -c '^70[12] .* 錯誤 父親\(欄不一致\|是自己\)：')" = 2 ]
}
check "command line: check finds the two errors of a damaged copy (exit $status: $(said | cut -c1-24 | paste -sd' ' -))" \
    found_two_errors
cli fix damaged.rqv >"$work/cli.out" 2>"$work/cli.err"
status=$?
mended_two() { [ "$status" -eq 0 ] && said | grep -qx '已修正2個問題。'; }
check "command line: fix mends them (exit $status: $(said | grep '^已' | paste -sd' ' -))" mended_two
check "command line: fix kept the damaged file as damaged.rqv.bak" \
    cmp -s "$cli_dir/damaged.rqv.bak" "$work/damaged.rqv"
cli check damaged.rqv >"$work/cli.out" 2>"$work/cli.err"
status=$?
check "command line: check finds no problem once fixed (exit $status)" found_nothing
# In a console (a terminal Wine runs the program in) whose code page is 437,
# the text still reads as Chinese: it goes to the console as UTF-16. As a
# negative control, the same text written to that console as UTF-8 bytes
# (cmd's type of a UTF-8 file) comes out garbled.
in_console() {
    (cd "$chinese" && script -qec "wine cmd /c chcp 437 '>nul' '&' $1" /dev/null) </dev/null 2>&1
}
if command -v script >/dev/null; then
    printf '父子關係沒有變化。\r\n' >"$cli_dir/utf8.txt"
    in_console "officer-maker-cli.exe fathers '命令列\\editdata.rqv'" >"$work/console.out"
    check "command line: in a console of code page 437 the Chinese reads correctly ($(tr -d '\r' <"$work/console.out" | grep -o '[^[:cntrl:]]*。' | head -n1))" \
        grep -q '父子關係沒有變化。' "$work/console.out"
    in_console "type '命令列\\utf8.txt'" >"$work/console-bytes.out"
    check "negative control: the same text as UTF-8 bytes in that console is garbled" \
        not_in '父子關係沒有變化。' "$work/console-bytes.out"
else
    fail "command line in a console: the tool script (util-linux) is missing"
fi

summary
[ "$failures" -eq 0 ]
