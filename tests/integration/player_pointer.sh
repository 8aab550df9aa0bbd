#!/usr/bin/env bash
# The pointer headless: which object gets Enter among overlapping ones, a press on one object
# released on another, a disabled object letting the pointer through, the alpha hit test at its
# border, hover sounds on the effects channel, and the debug window's text in the log.
source "$(dirname "$0")/lib/player_setup.sh"
convert -size 50x50 xc:'#808080' "$work/plain.png"
# Alpha 200 on the left half, 201 on the right.
convert -size 20x20 xc:'rgba(255,0,0,0.78431)' \( -size 20x20 xc:'rgba(0,0,255,0.78824)' \) +append "$work/alpha.png"
touch "$work/hover.wav"

events() {
    printf '[{"eventName": "On Enter", "script": "Debug.Print(\\"enter %s;\\")"}, ' "$1"
    printf '{"eventName": "On Leave", "script": "Debug.Print(\\"leave %s;\\")"}, ' "$1"
    printf '{"eventName": "On Click", "script": "Debug.Print(\\"click %s;\\")"}]' "$1"
}
image() {  # name, rect, file, extra image fields, extra object fields
    printf '{"typeCode": 3, "objectName": "%s", "rect": %s, "objectEvents": %s, %s "image": {"imageFile": "%s" %s}}' \
        "$1" "$2" "$(events "$1")" "${5:-}" "$3" "${4:-}"
}
cat >"$work/menu.json" <<JSON
{"project": {"windowWidth": 300, "windowHeight": 100, "defaultHoverSound": "hover.wav"},
 "pages": [{"pageName": "Page", "pageEvents": [],
  "pageObjects": [
    $(image A "[10, 10, 60, 60]" plain.png ', "hoverSoundMode": 1'),
    $(image B "[40, 10, 90, 60]" plain.png),
    $(image D "[100, 10, 150, 60]" plain.png),
    $(image C "[100, 10, 150, 60]" plain.png "" '"enabled": 0,'),
    $(image E "[160, 10, 200, 30]" alpha.png ', "alphaHitTest": 1')]}]}
JSON
"$bin/vxtool" pack "$work/menu.json" -o "$work/menu.cdd" || fail "pack"
cat >"$work/steps.txt" <<'STEPS'
wait 100
move 20 20
move 50 20
click 50 20
down 20 20
up 80 20
move 120 20
move 170 20
move 190 20
wait 50
STEPS
"$bin/vantorix" --headless --replay "$work/steps.txt" --log "$work/log.jsonl" --timeout 20000 "$work/menu.cdd" 2>/dev/null ||
    fail "run"
actual=$(debug_texts "$work/log.jsonl")
# A first; B on top of A; B clicked; A pressed and B released: nothing clicked; D under the
# disabled C; nothing at alpha 200; E at alpha 201.
expected="enter A;leave A;enter B;click B;leave B;leave A;enter D;leave D;enter E;"
[ "$actual" = "$expected" ] || fail "events: $actual"
grep -q '"ev":"audio","action":"load","channel":0,"file":"[^"]*hover.wav"' "$work/log.jsonl" ||
    fail "hover sound not requested on the effects channel"

finish "player pointer"
