#!/usr/bin/env bash
# Paragraphs under a replay: a click on the down box scrolls by one line (the text then shows as a
# paragraph that starts one line later does), and holding the button on the track below the thumb
# keeps scrolling every 100 ms until it is released.
source "$(dirname "$0")/lib/player_setup.sh"

lines() { # lines FIRST LAST: "Line FIRST\r\n...Line LAST" as a JSON string body
    local text="" i
    for ((i = $1; i <= $2; i++)); do text+="Line $i"; [ "$i" -lt "$2" ] && text+='\r\n'; done
    printf '%s' "$text"
}
cat >"$work/menu.json" <<JSON
{"project": {"windowWidth": 420, "windowHeight": 200},
 "pages": [{"pageName": "Home", "pageObjects": [
   {"typeCode": 2, "objectName": "Scrolled", "rect": [10, 10, 200, 190],
    "paragraph": {"text": "$(lines 1 60)", "transparent": 0}},
   {"typeCode": 2, "objectName": "Later", "rect": [220, 10, 410, 190],
    "paragraph": {"text": "$(lines 2 61)", "transparent": 0}}]}]}
JSON
"$bin/vxtool" pack "$work/menu.json" -o "$work/menu.cdd" || fail "pack"

# The down box of the first paragraph is the bar's last 16 pixels: (184..200, 174..190).
cat >"$work/steps.txt" <<STEPS
wait 200
click 191 181
wait 100
shot $work/clicked.png
down 191 150
wait 50
shot $work/held1.png
wait 400
shot $work/held2.png
up 191 150
wait 100
shot $work/released1.png
wait 300
shot $work/released2.png
close
STEPS
"$bin/vantorix" --headless --replay "$work/steps.txt" --timeout 20000 "$work/menu.cdd" 2>"$work/stderr.txt" ||
    fail "the run failed"
[ -s "$work/stderr.txt" ] && fail "standard error: $(cat "$work/stderr.txt")"

# The text areas (inside the 4-pixel inset, left of the bar) of the two paragraphs.
text_area() { convert "$1" -crop "166x172+$2+14" +repage "$3"; }
text_area "$work/clicked.png" 14 "$work/scrolled.png"
text_area "$work/clicked.png" 224 "$work/later.png"
differing=$(compare -metric AE "$work/scrolled.png" "$work/later.png" null: 2>&1)
[ "$differing" = "0" ] || fail "after one click the text is not one line further ($differing pixels differ)"

same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
same "$work/held1.png" "$work/held2.png" && fail "holding the button on the track did not keep scrolling"
same "$work/released1.png" "$work/released2.png" || fail "the scrolling went on after the release"

finish "player paragraphs"
