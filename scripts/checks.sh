# Shared by the package checks: counting what passed and failed. Set
# check_name before sourcing; it starts the summary line.

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
        echo "$check_name: all checks passed"
    else
        echo "$check_name: $failures check(s) failed"
    fi
}
# A failure that leaves nothing else to check.
abort() {
    fail "$*"
    summary
    exit 1
}
