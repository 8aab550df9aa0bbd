#!/usr/bin/env bash
# Flash movies in headless runs, played by Ruffle in the player's web view: the first frame shows
# in the object, the load state reaches complete, Stop freezes the movie and Play goes on, a
# missing movie shows the placeholder and makes no player, the object's own background fills
# around a smaller movie, and a Flash intro ends on its movie's FSCommand. A project without
# Flash never loads the web engine. Skipped when the build has no Flash player (no Qt WebEngine or no Ruffle).
source "$(dirname "$0")/lib/player_setup.sh"
if [ ! -f "$bin/../lib/vantorix/vx_flash_ruffle.so" ] || [ ! -f "$bin/../share/vantorix/ruffle/ruffle.js" ]; then
    echo "player flash: skipped, this build has no Flash player"
    exit 0
fi
cd "$work" || exit 1
ldd "$bin/vantorix" | grep -qi webengine && fail "the player links the web engine instead of loading it when needed"

# Ten frames at 4 per second: red, green, blue, ...; a small blue square; an intro that quits.
"$bin/vx_swfgen" colours.swf --size 200x150 --rate 4 --colors ff0000,00ff00,0000ff --paint-frames --frames 10 ||
    fail "vx_swfgen"
"$bin/vx_swfgen" small.swf --size 50x50 --colors 0000ff --paint-frames || fail "vx_swfgen small"
"$bin/vx_swfgen" intro.swf --size 120x80 --rate 10 --colors 00ff00 --paint-frames --frames 8 --fscommand-at 3 QUIT ||
    fail "vx_swfgen intro"

cat >menu.json <<JSON
{"project": {"windowWidth": 500, "windowHeight": 300},
 "pages": [{"pageName": "Home", "backgroundColor": 65280, "pageObjects": [
   {"typeCode": 4, "objectName": "Movie", "rect": [10, 10, 210, 160], "flash": {"file": "colours.swf"}},
   {"typeCode": 4, "objectName": "Framed", "rect": [250, 10, 450, 160],
    "flash": {"file": "small.swf", "customBackground": 1, "backgroundColor": 255}},
   {"typeCode": 4, "objectName": "Gone", "rect": [10, 180, 210, 280], "flash": {"file": "missing.swf"}},
   $(label State "[300, 200, 360, 215]" "Debug.Print('state ' .. Flash.GetState('Movie') .. ' ' .. Application.GetLastError() .. ';')"),
   $(label Stop "[300, 230, 360, 245]" "Flash.Stop('Movie') Debug.Print('stop ' .. Application.GetLastError() .. ';')"),
   $(label Play "[380, 230, 440, 245]" "Flash.Play('Movie') Debug.Print('play ' .. Application.GetLastError() .. ';')"),
   $(label Wrong "[300, 260, 360, 275]" "Debug.Print('gone ' .. Flash.GetState('Gone') .. ' ' .. Flash.GetState('State') .. ' ' .. Application.GetLastError() .. ';')")]}]}
JSON
"$bin/vxtool" pack menu.json -o menu.cdd || fail "pack"
cat >steps.txt <<STEPS
wait 100
shot $work/early.png
wait 6900
click 305 206
click 305 266
shot $work/playing.png
wait 300
shot $work/playing2.png
wait 300
shot $work/playing3.png
wait 300
shot $work/playing4.png
click 305 236
wait 600
shot $work/stopped1.png
wait 800
shot $work/stopped2.png
click 385 236
wait 600
shot $work/played1.png
wait 600
shot $work/played2.png
wait 600
shot $work/played3.png
close
STEPS
"$bin/vantorix" --headless --replay steps.txt --log run.jsonl --timeout 30000 menu.cdd 2>stderr.txt ||
    fail "the run failed: $(cat stderr.txt)"
[ -s stderr.txt ] && fail "standard error: $(cat stderr.txt)"
grep -q '"ev":"flash","action":"created","file":"[^"]*colours.swf"' run.jsonl || fail "no player for the movie"
grep -q '"action":"created","file":"[^"]*missing.swf"' run.jsonl && fail "a missing movie got a player"
texts=$(debug_texts run.jsonl)
[[ "$texts" == *"state 4 0;"* ]] || fail "the movie did not load completely: $texts"
# A Flash object without a player answers -1 with no error; a label is no Flash object (1100).
[[ "$texts" == *"gone -1 -1 1100;"* ]] || fail "the state of objects without players: $texts"
[[ "$texts" == *"stop 0;"* ]] || fail "Stop failed: $texts"
# While the movie loads, its object shows the page under it or the movie, never a white box.
case "$(shot_pixel early.png 110 85)" in 0,255,0 | 255,0,0 | 0,0,255) ;; *)
    fail "the object before its movie shows: $(shot_pixel early.png 110 85)" ;;
esac
pixel=$(shot_pixel playing.png 110 85)
case "$pixel" in 255,0,0 | 0,255,0 | 0,0,255) ;; *) fail "the movie's frame does not show in the object: $pixel" ;; esac
# A slow machine may show a frame late, but not the same one for a whole second.
colours=$(for shot in playing playing2 playing3 playing4; do shot_pixel $shot.png 110 85; echo; done | sort -u | wc -l)
[ "$colours" -ge 2 ] || fail "the movie does not play: $pixel for a second"
[ "$(shot_pixel stopped1.png 110 85)" = "$(shot_pixel stopped2.png 110 85)" ] || fail "the stopped movie went on"
# Played again, it goes on from where it stood.
[[ "$texts" == *"play 0;"* ]] || fail "Play failed: $texts"
colours=$(for shot in stopped2 played1 played2 played3; do shot_pixel $shot.png 110 85; echo; done | sort -u | wc -l)
[ "$colours" -ge 2 ] || fail "the movie played again does not go on"
# The small movie sits in the middle of its object; the object's red fills around it.
[ "$(shot_pixel playing.png 350 85)" = "0,0,255" ] || fail "the small movie: $(shot_pixel playing.png 350 85)"
[ "$(shot_pixel playing.png 260 20)" = "255,0,0" ] || fail "no red around the small movie: $(shot_pixel playing.png 260 20)"
# The missing movie's placeholder is drawn over the page's green.
[ "$(shot_pixel playing.png 110 230)" = "0,255,0" ] && [ "$(shot_pixel playing.png 20 190)" = "0,255,0" ] &&
    fail "no placeholder for the missing movie"

# A Flash intro that says QUIT in its fourth frame ends by itself.
cat >intro.json <<JSON
{"project": {"windowWidth": 300, "windowHeight": 200,
   "introSettings": {"enabled": 1, "file": "intro.swf", "mediaKind": 1, "windowMode": 1, "skipOnInput": 0}},
 "pages": [{"pageName": "Home", "pageEvents": [{"eventName": "On Show", "script": "Application.Exit()"}]}]}
JSON
"$bin/vxtool" pack intro.json -o intro.cdd || fail "pack the intro"
"$bin/vantorix" --headless --log intro.jsonl --timeout 30000 intro.cdd 2>/dev/null &
pid=$!
sleep 2
[ -d "/proc/$pid" ] && ! grep -qi webengine "/proc/$pid/maps" && fail "the Flash intro's run has no web engine loaded"
wait $pid
grep -q '"ev":"intro","action":"start","kind":1,"file":"[^"]*intro.swf","window":\[452,344,572,424\]' intro.jsonl ||
    fail "the intro's window is not the movie's size: $(grep intro intro.jsonl)"
grep -q '"ev":"intro","action":"end","reason":"quit"' intro.jsonl || fail "the intro did not end on QUIT: $(grep -E 'intro|flash' intro.jsonl)"
grep -q '"ev":"page","index":0' intro.jsonl || fail "no first page after the intro"

# A project without Flash: the web engine is never loaded.
cat >plain.json <<'JSON'
{"project": {"windowWidth": 100, "windowHeight": 100}, "pages": [{"pageName": "Home"}]}
JSON
"$bin/vxtool" pack plain.json -o plain.cdd || fail "pack the plain menu"
"$bin/vantorix" --headless --timeout 3000 plain.cdd 2>/dev/null &
pid=$!
sleep 1.5
grep -qi webengine "/proc/$pid/maps" && fail "a project without Flash loaded the web engine"
wait $pid

finish "player flash"
