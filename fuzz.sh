#!/usr/bin/env bash
# Fuzzes every reader of outside input: installs what is missing, builds the
# fuzz targets of tests/fuzz with clang's libFuzzer under AddressSanitizer
# and UndefinedBehaviorSanitizer in build-fuzz/, and runs each for SECONDS
# (60 by default), at most 512 MB and 2 s per input. Prints one line per
# target: runs, coverage and what it found. Every input that made a target
# fail is copied into the target's corpus in tests/fuzz/<target>/, so that
# ctest replays it from then on.
#
#   ./fuzz.sh [--merge] [SECONDS] [TARGET...]
#
# --merge then merges what the run found into the corpora in tests/fuzz/:
# the smallest set of inputs that covers as much, and the failing ones.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

FUZZ_PACKAGES=(clang libclang-rt-dev llvm)
install_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

merge=0
if [ "${1:-}" = "--merge" ]; then
    merge=1
    shift
fi
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in tests/fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

# The longest input of each target; a data file's records are given as up
# to 8 slots with their records (see Fuzzing::dataImage).
declare -A max_len=([datafile]=8952 [filecheck]=8952 [officercode]=8192 [recovery]=8192)

build=build-fuzz
mkdir -p "$build"
log=$build/build.log
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOFFICER_SANITIZE=ON -DOFFICER_FUZZ=ON >"$log" 2>&1 \
    || { tail -n 30 "$log" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" --target fuzz_targets >>"$log" 2>&1 \
    || { grep -E "error|Error" "$log" | head -n 30 >&2; exit 1; }

# ASan keeps freed memory aside, 256 MB by default, which with the
# targets' own use would pass the memory limit of a run; a smaller
# quarantine finds the same faults.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$build/fuzz
# The targets' files go to memory where it has a file system of its own:
# the copies the program writes are flushed to the disk, which would slow
# the runs a hundredfold.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR=$(mktemp -d /dev/shm/officer-fuzz.XXXXXX)
    export TMPDIR
    trap 'rm -rf "$TMPDIR"' EXIT
fi
failed=0
for target in "${targets[@]}"; do
    program=$build/tests/fuzz/fuzz_$target
    corpus=tests/fuzz/$target
    runs=$work/$target
    [ -x "$program" ] || { echo "$target: no such target" >&2; failed=1; continue; }
    mkdir -p "$corpus" "$runs/corpus" "$runs/artifacts"
    rm -rf "$runs/seeds"
    OFFICER_FUZZ_SEEDS=$runs/seeds "$program"
    options=(-rss_limit_mb=512 -timeout=2 -max_len="${max_len[$target]:-4096}"
             -print_final_stats=1 -artifact_prefix="$runs/artifacts/")
    # New inputs go into the run's own corpus; the one in tests/ stays as
    # it is until --merge.
    "$program" "${options[@]}" -max_total_time="$seconds" \
        "$runs/corpus" "$corpus" "$runs/seeds" >"$runs/log" 2>&1 || true

    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$runs/log" | tail -n 1)
    # A run that failed ends without its statistics: its last count.
    [ -n "$executed" ] || executed=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$runs/log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$runs/log" | tail -n 1)
    found=()
    for artifact in "$runs"/artifacts/*; do
        [ -f "$artifact" ] || continue
        cp "$artifact" "$corpus/"
        found+=("$(basename "$artifact")")
        rm "$artifact"
    done
    if [ $merge -eq 1 ]; then
        rm -rf "$runs/merged" && mkdir -p "$runs/merged"
        "$program" "${options[@]}" -merge=1 "$runs/merged" "$corpus" "$runs/corpus" "$runs/seeds" \
            >"$runs/merge.log" 2>&1
        find "$corpus" -maxdepth 1 -type f ! -name 'crash-*' ! -name 'leak-*' ! -name 'oom-*' \
            ! -name 'timeout-*' -delete
        cp "$runs/merged"/* "$corpus/"
    fi
    summary="$target: ${executed:-?} runs, ${coverage:-no coverage}, corpus $(ls "$corpus" | wc -l) inputs"
    if [ ${#found[@]} -eq 0 ]; then
        echo "$summary, found nothing"
    else
        echo "$summary, FOUND ${found[*]} (kept in $corpus; log: $runs/log)"
        failed=1
    fi
done
exit $failed
