#!/usr/bin/env bash
# Intros headless: a video intro sized by its window and size modes that ends with its movie
# before the first page, no intro when a global script turns it off, and a picture intro that a
# key skips without the key reaching the page.
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing"; exit 1; }
ffmpeg -loglevel error -f lavfi -i "color=red:s=320x240:r=25:d=1" -c:v mpeg4 intro.avi || fail "make intro.avi"
convert -size 200x100 xc:'#0000ff' intro.png

project() {  # intro settings, global script
    cat <<JSON
{"project": {"windowWidth": 300, "windowHeight": 200, "introSettings": $1, "globals": {"globalScript": "$2"}},
 "pages": [{"pageName": "Page", "pageEvents": [{"eventName": "On Key", "script": "Debug.Print('key;')"}]}]}
JSON
}
project '{"enabled": 1, "file": "intro.avi", "mediaKind": 0, "windowMode": 1, "sizeMode": 2}' "" >video.json
project '{"enabled": 1, "file": "intro.avi", "mediaKind": 0}' "_ShowIntroVideo = false" >off.json
project '{"enabled": 1, "file": "intro.png", "mediaKind": 2, "windowMode": 2, "windowWidth": 400, "windowHeight": 300, "backColor": 65280}' "" >picture.json
for name in video off picture; do "$bin/vxtool" pack $name.json -o $name.cdd || fail "pack $name"; done

# The movie ends by itself: then the page.
status=0
"$bin/vantorix" --headless --log video.jsonl --timeout 3000 video.cdd 2>/dev/null || status=$?
[ "$status" -eq 3 ] || fail "a run of the video intro ended with $status, not at the timeout"
grep -q '"ev":"intro","action":"start","kind":0,"file":"[^"]*intro.avi","window":\[192,144,832,624\],"media":\[0,0,640,480\]' video.jsonl ||
    fail "a 320 x 240 movie doubled in a window sized to it: $(grep intro video.jsonl)"
grep -q '"ev":"intro","action":"end","reason":"finished"' video.jsonl || fail "the movie's end ends the intro"
order=$(grep -o '"ev":"intro","action":"[a-z]*"\|"ev":"page"' video.jsonl | tr '\n' ' ')
[ "$order" = '"ev":"intro","action":"start" "ev":"intro","action":"end" "ev":"page" ' ] || fail "order: $order"

printf 'wait 200\n' >wait.txt
"$bin/vantorix" --headless --replay wait.txt --log off.jsonl --timeout 20000 off.cdd 2>/dev/null || fail "run off"
grep -q '"ev":"intro"' off.jsonl && fail "an intro the global script turned off"
grep -q '"ev":"page"' off.jsonl || fail "the page after no intro"

printf 'wait 300\nshot intro.png.shot.png\nkey SPACE\nwait 200\nkey SPACE\nwait 100\n' >skip.txt
"$bin/vantorix" --headless --replay skip.txt --log picture.jsonl --timeout 20000 picture.cdd 2>/dev/null ||
    fail "run picture"
grep -q '"ev":"intro","action":"end","reason":"skipped"' picture.jsonl || fail "a key skips the picture"
[ "$(debug_texts picture.jsonl)" = "key;" ] || fail "the skipping key reached the page: $(debug_texts picture.jsonl)"
[ "$(shot_pixel intro.png.shot.png 10 10)" = "0,0,255" ] || fail "the picture at the top left"
[ "$(shot_pixel intro.png.shot.png 300 200)" = "0,255,0" ] || fail "the intro's background around it"
finish "player intro"
