#!/usr/bin/env bash
# Runs every Lua 5.0 program of tests/lua50 with vxtool run-script and compares what it prints.
source "$(dirname "$0")/lib/test_setup.sh"
src=$(cd "$2" && pwd)
export VANTORIX_DATA_HOME=$work
cd "$src/tests/lua50" || exit 1
for script in *.lua; do
    expected=${script%.lua}.expected
    actual=$("$bin/vxtool" run-script "$script" 2>&1)
    status=$?
    if [ "$actual" != "$(cat "$expected")" ]; then
        fail "$script"
        diff <(echo "$actual") "$expected"
    fi
    # Only the script that ends in an error exits with the error status.
    want=0
    [ "$script" = errors.lua ] && want=1
    [ "$status" -eq "$want" ] || fail "$script exited with $status"
done
finish "Lua 5.0 corpus"
