# Shared by the integration scripts: arguments, a scratch folder, failure counting. Sourced
# with the bin folder as $1.
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Reports the result and ends the script.
finish() {
    [ "$failures" -eq 0 ] && echo "$1: all checks passed"
    exit $((failures > 0))
}
