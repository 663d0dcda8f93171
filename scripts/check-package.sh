#!/usr/bin/env bash
# Builds the Debian package from the release build in build/ and checks it:
# the files it installs, its control fields, its desktop entry, and that the
# program it installs, started the way the desktop entry starts it (in the
# Path= folder), finds its name pools and shows no warning box.
#
# The program is started twice for that, each time with a negative control in
# an empty folder, where the warning box must appear:
# - on the offscreen platform under strace, which shows whether the program
#   opened the three name pools from its working directory (the box is shown
#   exactly when one of them cannot be opened);
# - on a virtual X display (Xvfb), where the windows it shows can be listed:
#   the box is a window titled 錯誤, and it is shown from the main window's
#   constructor, so once the main window is on screen no pool warning can
#   follow.
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
pool_dir=usr/share/officer-maker
desktop_file=usr/share/applications/officer-maker.desktop
icon_file=usr/share/icons/hicolor/scalable/apps/officer-maker.svg

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
summary() {
    if [ "$failures" -eq 0 ]; then
        echo "check-package: all checks passed"
    else
        echo "check-package: $failures check(s) failed"
    fi
}
# A failure that leaves nothing else to check.
abort() {
    fail "$*"
    summary
    exit 1
}

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate file strace timeout Xvfb xwininfo; do
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
check "Section: $(field Section)" [ "$(field Section)" = games ]
check "Maintainer: $(field Maintainer)" grep -qE '^[^<]+ <[^@>]+@[^>]+>$' <<<"$(field Maintainer)"
check "Recommends: $(field Recommends)" [ "$(field Recommends)" = "fonts-noto-cjk | fonts-wqy-microhei" ]
check "Depends (from dpkg-shlibdeps) names the Qt libraries: $(field Depends)" \
    grep -q 'libqt5widgets5' <<<"$(field Depends)"
check "Description: $(field Description | head -n1)" [ -n "$(field Description)" ]

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
for pool in "${pools[@]}"; do
    check "contents hold /$pool_dir/$pool" holds "$pool_dir/$pool" -rw-r--r--
done
check "contents hold /$desktop_file" holds "$desktop_file" -rw-r--r--
check "contents hold /$icon_file" holds "$icon_file" -rw-r--r--

root=$work/root
dpkg -x "$deb" "$root" || abort "dpkg -x unpacks the package"
pass "dpkg -x unpacks the package into a temporary root"

for pool in "${pools[@]}"; do
    check "unpacked $pool is the same as data/$pool" cmp -s "data/$pool" "$root/$pool_dir/$pool"
done
check "unpacked icon is an SVG image ($(file -b --mime-type "$root/$icon_file"))" \
    [ "$(file -b --mime-type "$root/$icon_file")" = image/svg+xml ]

# --- The desktop entry ----------------------------------------------------------

entry=$root/$desktop_file
if desktop-file-validate "$entry" >"$work/validate.log" 2>&1; then
    pass "desktop-file-validate accepts the desktop entry"
else
    fail "desktop-file-validate accepts the desktop entry"
fi
sed 's/^/    /' "$work/validate.log"

key() { sed -n "s/^$1=//p" "$entry" | head -n1; }
exec_key=$(key Exec)
path_key=$(key Path)
check "desktop entry: Exec=$exec_key" [ "$exec_key" = officer-maker ]
check "desktop entry: Icon=$(key Icon)" [ "$(key Icon)" = officer-maker ]
check "desktop entry: Path=$path_key is the package's name-pool folder /$pool_dir" \
    [ "$path_key" = "/$pool_dir" ]

# The desktop entry's command and folder, found in the unpacked root.
program=$root/usr/bin/$exec_key
workdir=$root$path_key
executable_file() { [ -f "$1" ] && [ -x "$1" ]; }
check "Exec= names an executable in the package (/usr/bin/$exec_key)" executable_file "$program"
for pool in "${pools[@]}"; do
    check "Path= folder holds $pool" [ -f "$workdir/$pool" ]
done
executable_file "$program" && [ -d "$workdir" ] || abort "the unpacked program and its Path= folder are there to start"

empty=$work/empty
mkdir "$empty"

# --- Started on the offscreen platform ----------------------------------------------

# Starts the program in a folder under strace for 3 seconds; one trace file
# per process or thread goes to the folder $work/trace-NAME.
run_traced() {
    local dir=$1 name=$2
    mkdir "$work/trace-$name"
    env -C "$dir" QT_QPA_PLATFORM=offscreen \
        strace -ff -qq -e trace=open,openat -e signal=none -o "$work/trace-$name/t" \
        -- timeout -k 2 3 "$program" >"$work/offscreen-$name.log" 2>&1
}
# How the program's attempt to open a pool by name ended: "opened", "failed",
# or nothing when it did not try.
pool_open() {
    local name=$1 pool=$2
    grep -hE "^open(at)?\(.*\"([^\"]*/)?${pool//./\\.}\", .*\) = " "$work/trace-$name"/t.* \
        | sed -E -n 's/.*\) = -1 .*/failed/p; s/.*\) = [0-9]+$/opened/p' | sort -u | paste -sd, -
}

run_traced "$empty" empty
result=$(pool_open empty familyName.dat)
check "negative control (offscreen, empty folder): familyName.dat fails to open (${result:-not tried}), so the warning box is due" \
    [ "$result" = failed ]

run_traced "$workdir" path
status=$?
check "offscreen, in the Path= folder: the program still runs after 3 s (exit $status from timeout, 124 expected)" \
    [ "$status" -eq 124 ]
for pool in "${pools[@]}"; do
    result=$(pool_open path "$pool")
    check "offscreen, in the Path= folder: $pool opened from the working directory (${result:-not tried})" \
        [ "$result" = opened ]
done

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
# Starts the program in a folder and prints the titles of all the windows it
# shows from start-up until 1 s after the first one (waiting up to 30 s for
# that), then ends it. When it shows none, its output goes to stderr.
run_shown() {
    local dir=$1 name=$2 pid now seen= after=0
    env -C "$dir" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
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

shown=$(run_shown "$empty" empty)
check "negative control (X display, empty folder): the warning box $box_title is shown [$(titles "$shown")]" \
    has_title "$shown" "$box_title"

shown=$(run_shown "$workdir" path)
check "X display, in the Path= folder: the main window $main_title is shown [$(titles "$shown")]" \
    has_title "$shown" "$main_title"
check "X display, in the Path= folder: no warning box $box_title is shown" \
    lacks_title "$shown" "$box_title"

summary
[ "$failures" -eq 0 ]
