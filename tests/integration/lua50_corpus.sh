#!/usr/bin/env bash
# Runs every Lua 5.0 program of tests/lua50 with vxtool run-script and compares what it prints.
set -u
bin=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export VANTORIX_DATA_HOME=$data
cd "$src/tests/lua50" || exit 1
failures=0
for script in *.lua; do
    expected=${script%.lua}.expected
    actual=$("$bin/vxtool" run-script "$script" 2>&1)
    status=$?
    if [ "$actual" != "$(cat "$expected")" ]; then
        echo "FAIL: $script"
        diff <(echo "$actual") "$expected"
        failures=$((failures + 1))
    fi
    # Only the script that ends in an error exits with the error status.
    want=0
    [ "$script" = errors.lua ] && want=1
    [ "$status" -eq "$want" ] || { echo "FAIL: $script exited with $status"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] && echo "Lua 5.0 corpus: all programs gave their expected output"
exit $((failures > 0))
