#!/usr/bin/env bash
# Embedded fonts in headless runs: a label in a face only the data file has draws in it (solid
# boxes), a face the system has is not written, the font folder is gone after the run, a folder
# left over from before is not reused, and --list-fonts tells where each face comes from. Also
# the Flash check at start: its box, and a startup script that turns it off.
source "$(dirname "$0")/lib/player_setup.sh"
source_dir=$2
boxes_font=$source_dir/tests/fixtures/fonts/vantorix-test-boxes.ttf
system_font=$(fc-match -f '%{file}' 'Liberation Sans')
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

cat >"$work/menu.json" <<'JSON'
{"project": {"windowWidth": 300, "windowHeight": 120},
 "pages": [{"pageName": "Home", "pageObjects": [
   {"typeCode": 1, "objectName": "Boxes", "rect": [10, 10, 290, 60],
    "label": {"text": "MMMM", "normalColor": 255, "font": {"height": -40, "faceName": "Vantorix Test Boxes"}}},
   {"typeCode": 1, "objectName": "Missing", "rect": [10, 70, 290, 110],
    "label": {"text": "MMMM", "normalColor": 255, "font": {"height": -40, "faceName": "Vantorix Absent Face"}}}]}]}
JSON
"$bin/vxtool" pack "$work/menu.json" -o "$work/menu.cdd" --font "$boxes_font" --font "$system_font" || fail "pack"

run() { # run NAME: plays the menu once, with a screenshot, and checks the run ended well
    printf 'wait 300\nshot %s\nclose\n' "$work/$1.png" >"$work/$1.steps"
    "$bin/vantorix" --headless --replay "$work/$1.steps" --log "$work/$1.log" --timeout 20000 "$work/menu.cdd" \
        2>"$work/$1.err" || fail "$1: the run failed"
    [ -s "$work/$1.err" ] && fail "$1: standard error: $(cat "$work/$1.err")"
}
# The mean red and green of a 12 x 14 area of a screenshot: solid red is "1 0".
area() { convert "$1" -crop "12x14+$2+$3" +repage -format "%[fx:mean.r] %[fx:mean.g]" info:; }

run first
grep -q '"ev":"font","face":"Vantorix Test Boxes","action":"installed","file":"'"$TMPDIR"'/_kx_tmpfnt_1/Vantorix Test Boxes.TFT"' \
    "$work/first.log" || fail "the embedded font was not installed in _kx_tmpfnt_1: $(grep font "$work/first.log")"
grep -q '"ev":"font","face":"Liberation Sans","action":"present"' "$work/first.log" ||
    fail "a face the system has was not recognised"
[ "$(area "$work/first.png" 16 16)" = "1 0" ] || fail "the label does not draw in the embedded face"
[ "$(area "$work/first.png" 16 80)" = "1 0" ] && fail "a face nobody has draws as boxes too"
[ -e "$TMPDIR/_kx_tmpfnt_1" ] && fail "the font folder is still there after the run"

# A folder left behind by an earlier run that did not end well is not reused.
mkdir "$TMPDIR/_kx_tmpfnt_1"
run second
grep -q '_kx_tmpfnt_2/Vantorix Test Boxes.TFT' "$work/second.log" || fail "the second run did not use _kx_tmpfnt_2"
[ -e "$TMPDIR/_kx_tmpfnt_2" ] && fail "the second run's font folder is still there"
[ -d "$TMPDIR/_kx_tmpfnt_1" ] || fail "the folder left over was removed"
rmdir "$TMPDIR/_kx_tmpfnt_1"

# A run that ends by its timeout also takes its fonts away.
"$bin/vantorix" --headless --timeout 1500 "$work/menu.cdd" 2>/dev/null
[ $? -eq 3 ] || fail "the timed-out run did not end with status 3"
[ -e "$TMPDIR/_kx_tmpfnt_1" ] && fail "the timed-out run left its font folder"

"$bin/vantorix" --list-fonts "$work/menu.cdd" >"$work/fonts.txt" 2>"$work/fonts.err" || fail "--list-fonts failed"
[ -s "$work/fonts.err" ] && fail "--list-fonts wrote to standard error: $(cat "$work/fonts.err")"
grep -Eq '^Vantorix Test Boxes +Vantorix Test Boxes +yes +the project.s own font$' "$work/fonts.txt" ||
    fail "--list-fonts on the embedded face: $(cat "$work/fonts.txt")"
grep -Eq '^Liberation Sans +Liberation Sans +yes +the system.s font' "$work/fonts.txt" ||
    fail "--list-fonts on the system's face: $(cat "$work/fonts.txt")"
grep -Eq '^Vantorix Absent Face .* no +missing' "$work/fonts.txt" ||
    fail "--list-fonts on a missing face: $(cat "$work/fonts.txt")"
[ -z "$(ls "$TMPDIR" | grep _kx_tmpfnt)" ] || fail "--list-fonts left a font folder"

# The Flash check: asked for by the project, no Flash control in this fresh registry.
flash_menu() { # flash_menu STARTUP-SCRIPT: a data file that asks for the check
    cat >"$work/flash.json" <<JSON
{"header": {"startupScript": "$1"}, "doFlashCheck": 1,
 "project": {"windowWidth": 100, "windowHeight": 100}, "pages": [{"pageName": "Home"}]}
JSON
    "$bin/vxtool" pack "$work/flash.json" -o "$work/flash.cdd" || fail "pack the Flash menu"
    printf 'answer NO\nwait 100\nclose\n' >"$work/flash.steps"
    "$bin/vantorix" --headless --replay "$work/flash.steps" --log "$work/flash.log" --timeout 20000 \
        "$work/flash.cdd" 2>/dev/null || fail "the Flash check run failed"
}
# With the Flash player installed the check passes; without it the box offers the download.
flash_menu ""
if [ -f "$bin/../lib/vantorix/vx_flash_ruffle.so" ] && [ -f "$bin/../share/vantorix/ruffle/ruffle.js" ]; then
    grep -q '"ev":"dialog"' "$work/flash.log" && fail "the check did not pass with Ruffle installed"
else
    grep -q '"ev":"dialog","kind":"message","title":"Incorrect Flash Version","text":"This application requires Macromedia Flash Player version 6.0.0.0 or greater' \
        "$work/flash.log" || fail "no Flash check box: $(grep dialog "$work/flash.log")"
fi
# A project that asks for more than any player has.
flash_menu "_tblNotificationMessages.MissingFlashMinVersion = '99.0.22'"
grep -q '"ev":"dialog","kind":"message","title":"Incorrect Flash Version","text":"This application requires Macromedia Flash Player version 99.0.22 or greater' \
    "$work/flash.log" || fail "the project's minimum version is not in the box: $(grep dialog "$work/flash.log")"
grep -q '"style":36,"answer":7' "$work/flash.log" || fail "the Flash box is not a Yes/No question answered No"
flash_menu "_tblNotificationMessages.MissingFlashMinVersion = '99.0.22' _DoFlashCheck = false"
grep -q '"ev":"dialog"' "$work/flash.log" && fail "the check ran although the startup script turned it off"

finish "player fonts"
