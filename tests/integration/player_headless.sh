#!/usr/bin/env bash
# The player headless with a replay: page events in their order, navigation globals, the close
# query, and what the screen shows (background, colour-keyed and faded images, the placeholder).
source "$(dirname "$0")/lib/player_setup.sh"

# A blue square on white, for the colour key; a plain green picture to fade.
convert -size 20x20 xc:white -fill '#0000ff' -draw 'rectangle 5,5 14,14' "$work/key.png"
convert -size 20x20 xc:'#00ff00' "$work/green.png"
convert -size 10x10 xc:'#ffff00' "$work/yellow.png"

cat >"$work/menu.json" <<'JSON'
{
  "header": {"startupScript": "Closes = 0"},
  "project": {
    "windowWidth": 200, "windowHeight": 100,
    "globals": {"globalScript": "function QueryAllowProjectClose()\r\n  Closes = Closes + 1\r\n  Debug.Print('close asked ' .. Closes)\r\n  return Closes > 1\r\nend\r\n"},
    "projectEvents": [{"eventName": "On Startup", "script": "Debug.Print('startup')"},
                      {"eventName": "On Shutdown", "script": "Debug.Print('shutdown')"}]
  },
  "pages": [
    {"pageName": "One", "backgroundColor": 16711680,
     "pageEvents": [
       {"eventName": "On Preload", "script": "Debug.Print('preload One')"},
       {"eventName": "On Show", "script": "Debug.Print('show One [' .. _PagePrevious .. '|' .. _PageCurrent .. '|' .. _PageNext .. ']')"},
       {"eventName": "On Close", "script": "Debug.Print('close One')"},
       {"eventName": "On Key", "script": "if e_Key == 13 then Page.Jump('two') end"}]},
    {"pageName": "Two", "backgroundColor": 255,
     "pageEvents": [
       {"eventName": "On Preload", "script": "Debug.Print('preload Two')"},
       {"eventName": "On Show", "script": "Debug.Print('show Two [' .. _PagePrevious .. '|' .. _PageCurrent .. '|' .. _PageNext .. ']')"},
       {"eventName": "On Close", "script": "Debug.Print('close Two')"}],
     "pageObjects": [
       {"typeCode": 3, "objectName": "Keyed", "rect": [0, 0, 20, 20],
        "image": {"imageFile": "key.png", "useTransparentColor": 1, "transparentColor": 16777215}},
       {"typeCode": 3, "objectName": "Faded", "rect": [40, 0, 60, 20],
        "image": {"imageFile": "green.png", "opacity": 50}},
       {"typeCode": 3, "objectName": "Missing", "rect": [100, 0, 190, 90],
        "image": {"imageFile": "nowhere.png"}},
       {"typeCode": 3, "objectName": "OnTop", "rect": [55, 15, 65, 25], "image": {"imageFile": "yellow.png"}}]}
  ]
}
JSON
"$bin/vxtool" pack "$work/menu.json" -o "$work/menu.cdd" || fail "pack"

cat >"$work/steps.txt" <<'STEPS'
wait 100
key RETURN
wait 200
shot SHOT
close
wait 200
close
STEPS
sed -i "s|SHOT|$work/two.png|" "$work/steps.txt"
"$bin/vantorix" --headless --screen 800x600 --replay "$work/steps.txt" --log "$work/log.jsonl" --timeout 20000 \
    "$work/menu.cdd" 2>/dev/null
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"

# The debug lines in the order they came.
grep -o '"ev":"debug","text":"[^"]*"' "$work/log.jsonl" | sed 's/.*"text":"//; s/"$//' >"$work/debug.txt"
cat >"$work/expected.txt" <<'EXPECTED'
startup
preload One
show One [|One|Two]
close One
preload Two
show Two [One|Two|]
close asked 1
close asked 2
close Two
shutdown
EXPECTED
diff "$work/expected.txt" "$work/debug.txt" >/dev/null || { fail "event order"; diff "$work/expected.txt" "$work/debug.txt"; }
grep -q '"ev":"page","index":1,"name":"Two"' "$work/log.jsonl" || fail "page event"
grep -q '"ev":"exit","code":0' "$work/log.jsonl" || fail "exit event"

check_pixel() {
    local got
    got=$(shot_pixel "$work/two.png" "$1" "$2")
    [ "$got" = "$3" ] || fail "pixel $1,$2 is $got, expected $3 ($4)"
}
check_pixel 150 95 "255,0,0" "page background (the colour is stored blue-green-red)"
check_pixel 1 1 "255,0,0" "the white of the keyed picture is transparent"
check_pixel 10 10 "0,0,255" "the keyed picture's blue square"
check_pixel 50 10 "129,126,0" "green faded to alpha 126 over red"
check_pixel 150 50 "255,255,255" "the placeholder of a missing picture"
check_pixel 57 17 "255,255,0" "the later of two overlapping objects is on top"
check_pixel 62 22 "255,255,0" "the later object past the earlier one's edge"

# Backgrounds: 256 gradient bands from top to bottom colour, and a tile repeated to the right.
convert -size 64x10 xc:'#00ff00' -fill '#0000ff' -draw 'rectangle 0,0 31,9' "$work/tile.png"
cat >"$work/backgrounds.json" <<'JSON'
{"project": {"windowWidth": 256, "windowHeight": 256},
 "pages": [
  {"pageName": "Gradient", "backgroundType": 1, "backgroundColor": 0, "gradientBottomColor": 16777215,
   "pageEvents": [{"eventName": "On Key", "script": "Page.Jump('Tiles')"}]},
  {"pageName": "Tiles", "backgroundType": 2, "pictureMode": 1, "backgroundPicture": "tile.png"}]}
JSON
"$bin/vxtool" pack "$work/backgrounds.json" -o "$work/backgrounds.cdd" || fail "pack backgrounds"
printf 'wait 100\nshot %s\nkey SPACE\nwait 100\nshot %s\n' "$work/gradient.png" "$work/tiles.png" >"$work/bg.txt"
"$bin/vantorix" --headless --replay "$work/bg.txt" --timeout 20000 "$work/backgrounds.cdd" 2>/dev/null ||
    fail "backgrounds run"
[ "$(shot_pixel "$work/gradient.png" 10 0)" = "0,0,0" ] || fail "gradient top band"
[ "$(shot_pixel "$work/gradient.png" 10 128)" = "128,128,128" ] || fail "gradient band 128"
[ "$(shot_pixel "$work/gradient.png" 10 255)" = "255,255,255" ] || fail "gradient bottom band"
# The 64-pixel tile repeats: blue on its left half, green on its right, in every column.
for x in 10 74 138 202; do
    [ "$(shot_pixel "$work/tiles.png" $x 5)" = "0,0,255" ] || fail "tile column at $x"
    [ "$(shot_pixel "$work/tiles.png" $((x + 32)) 15)" = "0,255,0" ] || fail "tile right half at $((x + 32))"
done

# A page that jumps to itself from "On Preload" forever ends in one script error, not a crash.
cat >"$work/loop.json" <<'JSON'
{"pages": [{"pageName": "Loop", "pageEvents": [{"eventName": "On Preload", "script": "Page.Jump('Loop')"}]}]}
JSON
"$bin/vxtool" pack "$work/loop.json" -o "$work/loop.cdd" || fail "pack loop"
printf 'wait 100\nclose\n' >"$work/loop.txt"
"$bin/vantorix" --headless --replay "$work/loop.txt" --log "$work/loop.jsonl" --timeout 20000 "$work/loop.cdd" 2>/dev/null
status=$?
[ "$status" -eq 0 ] || fail "the looping page ended with status $status"
grep -q 'Page changes are nested too deeply' "$work/loop.jsonl" || fail "no error for the endless jump"

# A headless run without a log says on standard error why it could not start, and each script
# error, one line each; with a log, or when all goes well, it says nothing there.
mkdir -p "$work/empty"
printf 'wait 100\nclose\n' >"$work/short.txt"
while IFS='|' read -r what args expected; do
    # shellcheck disable=SC2086
    "$bin/vantorix" --headless --timeout 20000 $args 2>"$work/stderr.txt" >/dev/null
    got=$(cat "$work/stderr.txt")
    if [ -z "$expected" ]; then
        [ -z "$got" ] || fail "$what: standard error is not empty: $got"
    else
        grep -qx -- "$expected" "$work/stderr.txt" && [ "$(wc -l <"$work/stderr.txt")" -eq 1 ] ||
            fail "$what: standard error is '$got', not one line '$expected'"
    fi
done <<CASES
a missing data file|$work/missing.cdd|vantorix: Error: Could not find data file.
an empty folder|$work/empty|vantorix: No menu in $work/empty: it holds no .cdd data file.
not a data file|$work/short.txt|vantorix: .*
a script error|--replay $work/loop.txt $work/loop.cdd|vantorix: Error: On Preload, Line 1: Page changes are nested too deeply.
a script error with a log|--replay $work/loop.txt --log $work/quiet.jsonl $work/loop.cdd|
a run that ends well|--replay $work/short.txt $work/menu.cdd|
CASES

finish "player headless"
