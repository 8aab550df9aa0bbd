#!/usr/bin/env bash
# Transitions headless: a page that names one of the player's own effects changes to the next
# through it, and the log tells which plugin played and how many frames it showed; a Windows
# library in the project's plugins folder is passed over with a note, and the run goes on;
# vxtool lists the plugins of a folder.
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1

cat >fade.json <<'JSON'
{"pages": [
  {"pageName": "One", "backgroundColor": 255, "transitionName": "Vantorix Fade", "transitionSettings": "duration=300",
   "pageEvents": [{"eventName": "On Show", "script": "Page.Jump('Two')"}]},
  {"pageName": "Two", "backgroundColor": 16711680}]}
JSON
"$bin/vxtool" pack fade.json -o fade.cdd || fail "pack"
mkdir -p Plugins
printf 'MZ\220\0\3\0\0\0' >Plugins/windows.tns

printf 'wait 1500\nshot after.png\n' >replay.txt
"$bin/vantorix" --headless --replay replay.txt --log fade.jsonl --timeout 20000 fade.cdd 2>/dev/null || fail "the run"
grep -q '"ev":"plugin","file":"[^"]*windows.tns","reason":' fade.jsonl || fail "no note of the Windows library: $(grep plugin fade.jsonl)"
line=$(grep '"ev":"transition"' fade.jsonl)
[[ "$line" == *'"name":"Vantorix Fade"'* ]] || fail "the fade did not play: $line"
frames=$(sed -n 's/.*"frames":\([0-9]*\).*/\1/p' <<<"$line")
[ "${frames:-0}" -ge 5 ] || fail "the fade showed ${frames:-no} frames in 300 ms"
order=$(grep -o '"ev":"transition"\|"ev":"page","index":[0-9]' fade.jsonl | tr '\n' ' ')
[ "$order" = '"ev":"page","index":0 "ev":"transition" "ev":"page","index":1 ' ] || fail "order: $order"
[ "$(shot_pixel after.png 10 10)" = "0,0,255" ] || fail "the new page after the fade: $(shot_pixel after.png 10 10)"

listing=$("$bin/vxtool" plugins "$bin/../plugins/transitions")
for name in Fade Dissolve Wipe Push Slide Blinds Iris Zoom; do
    grep -q "\"name\":\"Vantorix $name\"" <<<"$listing" || fail "vxtool plugins does not list Vantorix $name"
done
"$bin/vxtool" plugins "$work/Plugins" | grep -q '"skipped"' || fail "vxtool plugins does not say why a file is skipped"
finish "player transitions"
