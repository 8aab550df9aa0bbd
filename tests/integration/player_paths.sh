#!/usr/bin/env bash
# Where a run's files go: the replay's relative paths (shot, answer-files) and the log are taken
# from the folder the player was started in, not the project's folder it makes current; and a run
# without XDG_RUNTIME_DIR writes nothing of the toolkit's to standard error.
source "$(dirname "$0")/lib/player_setup.sh"

mkdir -p "$work/menu" "$work/run"
cat >"$work/menu.json" <<'JSON'
{"pages": [{"pageName": "Home", "backgroundColor": 65280,
  "pageEvents": [{"eventName": "On Show",
    "script": "local files = Dialog.FileBrowse(true, 'Pick', '', 'Text|*.txt|', '', '', false)\r\nDebug.Print('picked ' .. files[1])"}]}]}
JSON
"$bin/vxtool" pack "$work/menu.json" -o "$work/menu/menu.cdd" || fail "pack"
printf 'answer-files picked.txt\nwait 200\nshot out.png\nclose\n' >"$work/run/steps.txt"

(cd "$work/run" && env -u XDG_RUNTIME_DIR "$bin/vantorix" --headless --replay steps.txt --log log.jsonl \
    --timeout 20000 ../menu/menu.cdd 2>"$work/stderr.txt")
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ -f "$work/run/out.png" ] || fail "the shot is not in the folder the player was started in"
[ -e "$work/menu/out.png" ] && fail "the shot went into the menu's folder"
[ -f "$work/run/log.jsonl" ] || fail "the log is not in the folder the player was started in"
# The chosen file is the one beside the replay, as the script sees it (a Windows path under Z:).
expected="picked Z:$(echo "$work/run/picked.txt" | tr '/' '\\\\')"
got=$(debug_texts "$work/run/log.jsonl" | sed 's/\\\\/\\/g')
[ "$got" = "$expected" ] || fail "the script picked '$got', not '$expected'"
[ -s "$work/stderr.txt" ] && fail "standard error is not empty: $(cat "$work/stderr.txt")"

finish "player paths"
