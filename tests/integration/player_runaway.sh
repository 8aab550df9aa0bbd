#!/usr/bin/env bash
# Scripts that never return end on time: --timeout stops a busy loop (even one inside pcall), a
# pattern match that backtracks for years and an endless wait with a script error and exit status 3; a finalizer that loops cannot keep the
# player or vxtool from exiting.
source "$(dirname "$0")/lib/player_setup.sh"

# A menu whose first page runs the script on show.
menu() {
    printf '{"pages": [{"pageName": "Home", "pageEvents": [{"eventName": "On %s", "script": "%s"}]}]}' "$2" "$3" \
        >"$work/$1.json"
    "$bin/vxtool" pack "$work/$1.json" -o "$work/$1.cdd" || fail "pack $1"
}
menu loop Show 'while true do end'
menu protected Preload 'pcall(function() while true do end end)\r\nwhile true do end'
menu sleep Show 'Application.Sleep(2^31)'
menu backtrack Show "string.find(string.rep('a', 40), 'a*a*a*a*a*a*a*a*a*a*a*b')"
menu finalizer Show 'local p = newproxy(true)\r\ngetmetatable(p).__gc = function() while true do end end\r\nApplication.Exit()'

for name in loop protected sleep backtrack; do
    timeout 30 "$bin/vantorix" --headless --log "$work/$name.jsonl" --timeout 1500 "$work/$name.cdd"
    status=$?
    [ "$status" -eq 3 ] || fail "$name: exit status $status, not 3"
    grep -q '"title":"Error","text":"On [A-Za-z]*, Line [0-9]*: The script was stopped because it did not respond."' \
        "$work/$name.jsonl" || fail "$name: no script error for the stop"
    [ "$(tail -n 1 "$work/$name.jsonl" | grep -c '"ev":"exit","code":3')" -eq 1 ] || fail "$name: the log does not end with the exit"
done

timeout 30 "$bin/vantorix" --headless --log "$work/finalizer.jsonl" "$work/finalizer.cdd"
status=$?
[ "$status" -eq 0 ] || fail "the player with a looping finalizer: status $status"
[ "$(tail -n 1 "$work/finalizer.jsonl" | grep -c '"ev":"exit","code":0')" -eq 1 ] || fail "the finalizer's run logs no exit"

printf 'local p = newproxy(true)\ngetmetatable(p).__gc = function() while true do end end\n' >"$work/gc.lua"
timeout 30 "$bin/vxtool" run-script "$work/gc.lua" >/dev/null
status=$?
[ "$status" -eq 0 ] || fail "vxtool with a looping finalizer: status $status"

finish "player runaway"
