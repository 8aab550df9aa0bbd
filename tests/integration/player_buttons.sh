#!/usr/bin/env bash
# Buttons headless: the later of two overlapping buttons takes the pointer, a press on one and a
# release on another clicks nothing, a toggle clicked twice, and the hit threshold of a button
# file against the alpha of its state picture (128 is not a hit, 129 is).
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1
convert -size 40x20 xc:'#3060c0' solid.png
# Alpha 128 on the left half, 129 on the right.
convert -size 20x20 xc:'rgba(0,0,255,0.50196)' \( -size 20x20 xc:'rgba(0,0,255,0.50588)' \) +append edge.png
manifest() {  # picture, hit threshold
    printf '<KX_Button><HitThreshold>%s</HitThreshold>' "$2"
    for group in Up Down; do
        printf '<%s>' "$group"
        for state in Normal Highlight Disabled; do printf '<%s><Image>%s</Image></%s>' "$state" "$1" "$state"; done
        printf '</%s>' "$group"
    done
    printf '</KX_Button>\n'
}
manifest solid.png 200 >solid.xml
manifest edge.png 128 >edge.xml
"$bin/vxtool" btn solid.xml -o solid.btn solid.png || fail "btn solid"
"$bin/vxtool" btn edge.xml -o edge.btn edge.png || fail "btn edge"

button() {  # name, rect, file, toggle
    printf '{"typeCode": 0, "objectName": "%s", "rect": %s, "objectEvents": [' "$1" "$2"
    printf '{"eventName": "On Enter", "script": "Debug.Print(\\"enter %s;\\")"}, ' "$1"
    printf '{"eventName": "On Click", "script": "Debug.Print(\\"click %s \\" .. Button.GetState(this) .. \\";\\")"}], ' "$1"
    printf '"button": {"buttonFile": "%s", "toggle": %s}}' "$3" "$4"
}
cat >menu.json <<JSON
{"project": {"windowWidth": 300, "windowHeight": 100},
 "pages": [{"pageName": "Page", "pageEvents": [], "pageObjects": [
   $(button A "[10, 10, 50, 30]" solid.btn 0),
   $(button B "[30, 10, 70, 30]" solid.btn 0),
   $(button T "[100, 10, 140, 30]" solid.btn 1),
   $(button E "[200, 10, 240, 30]" edge.btn 0)]}]}
JSON
"$bin/vxtool" pack menu.json -o menu.cdd || fail "pack"
cat >steps.txt <<'STEPS'
wait 100
move 15 20
move 40 20
down 15 20
up 65 20
click 110 20
click 110 20
move 205 20
move 235 20
wait 50
STEPS
"$bin/vantorix" --headless --replay steps.txt --log log.jsonl --timeout 20000 menu.cdd 2>/dev/null || fail "run"
actual=$(debug_texts log.jsonl)
# A; B over A; A pressed and B released: no click; the toggle down (1) then up (0); nothing at
# alpha 128; E at alpha 129.
expected="enter A;enter B;enter T;click T 1;click T 0;enter E;"
[ "$actual" = "$expected" ] || fail "events: $actual"

finish "player buttons"
