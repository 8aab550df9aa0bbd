#!/usr/bin/env bash
# Videos headless: the picture follows the movie (red, then blue, then rewound), the events of a
# movie that ends and of one that loops, Play on a running movie, a seek past the end, the
# picture's place with keepAspect with and without the controller, the controller's Play button,
# and Video actions on a name that is no video.
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing"; exit 1; }
# Four seconds: two red, two blue, with a tone; and one second of green.
ffmpeg -loglevel error -f lavfi -i "color=red:s=320x240:r=25:d=2" -f lavfi -i "color=blue:s=320x240:r=25:d=2" \
    -f lavfi -i "sine=frequency=440:duration=4" -filter_complex "[0:v][1:v]concat=n=2:v=1[v]" -map "[v]" \
    -map 2:a -c:v mpeg4 -c:a mp2 -shortest movie.avi || fail "make movie.avi"
ffmpeg -loglevel error -f lavfi -i "color=green:s=160x120:r=25:d=1" -c:v mpeg1video short.mpg || fail "make short.mpg"

cat >menu.json <<JSON
{"project": {"windowWidth": 700, "windowHeight": 860}, "pages": [{"pageName": "Page", "pageEvents": [], "pageObjects": [
 {"typeCode": 5, "objectName": "V", "rect": [10, 10, 330, 274], "objectEvents": [
   {"eventName": "On Play", "script": "Debug.Print(\"V play;\") Video.Play(\"V\") Debug.Print(\"again \" .. Application.GetLastError() .. \";\")"},
   $(print_event "On Pause" "V pause"), $(print_event "On Stop" "V stop"), $(print_event "On Finish" "V finish")],
  "video": {"file": "movie.avi", "timeDisplay": 3}},
 {"typeCode": 5, "objectName": "L", "rect": [340, 10, 500, 130], "objectEvents": [
   $(print_event "On Play" "L play"), $(print_event "On Stop" "L stop"), $(print_event "On Finish" "L finish")],
  "video": {"file": "short.mpg", "loop": 1, "controllerStyle": 0}},
 {"typeCode": 5, "objectName": "A", "rect": [10, 290, 650, 530], "objectEvents": [],
  "video": {"file": "movie.avi", "playOnShow": 0, "controllerStyle": 0, "videoBackColor": 65280}},
 {"typeCode": 5, "objectName": "B", "rect": [10, 540, 650, 804], "objectEvents": [$(print_event "On Play" "B play")],
  "video": {"file": "movie.avi", "playOnShow": 0, "videoBackColor": 65280}},
 $(label Seek "[520, 10, 600, 30]" "Video.Seek('A', SEEK_FORWARD, 1000) Debug.Print('seek ' .. Application.GetLastError() .. ';')"),
 $(label Where "[520, 40, 600, 60]" "Debug.Print('at end ' .. tostring(math.abs(Video.GetCurrentPos('A') - Video.GetLength('A')) < 0.1) .. ';')"),
 $(label None "[520, 70, 600, 90]" "Debug.Print('none ' .. Video.GetState('Seek') .. ' ' .. Application.GetLastError() .. ' ' .. Video.GetCurrentPos('Seek') .. ';')")
]}]}
JSON
"$bin/vxtool" pack menu.json -o menu.cdd || fail "pack"
cat >steps.txt <<'STEPS'
wait 600
shot red.png
click 21 791
wait 2400
shot blue.png
click 530 20
wait 300
click 530 50
click 530 80
wait 3000
shot rewound.png
STEPS
"$bin/vantorix" --headless --screen 800x900 --replay steps.txt --log log.jsonl --timeout 30000 menu.cdd 2>/dev/null || fail "run"

texts=$(debug_texts log.jsonl)
v_events=$(grep -o 'V [a-z]*;' <<<"$texts" | tr -d '\n')
[ "$v_events" = "V play;V stop;V finish;" ] || fail "events of a movie that ends: $v_events"
grep -q 'again 0;' <<<"$texts" || fail "Play on a running movie: $texts"
l_plays=$(grep -o 'L play;' <<<"$texts" | wc -l)
l_finishes=$(grep -o 'L finish;' <<<"$texts" | wc -l)
[ "$l_plays" -eq 1 ] && [ "$l_finishes" -ge 2 ] || fail "a looping movie: $l_plays plays, $l_finishes ends"
grep -q 'L stop;' <<<"$texts" && fail "a looping movie stopped"
grep -q 'seek 0;' <<<"$texts" || fail "seek: $texts"
grep -q 'at end true;' <<<"$texts" || fail "a seek past the end is not at the length: $texts"
grep -q 'none 0 1100 -1;' <<<"$texts" || fail "actions on a name that is no video: $texts"
grep -q 'B play;' <<<"$texts" || fail "a click on the controller's Play button: $texts"
grep -q '"ev":"video","action":"open","file":"[^"]*movie.avi","width":320,"height":240' log.jsonl ||
    fail "open event"

# The colour a pixel shows, within what the movie's compression changes.
colour() {
    local r g b
    IFS=, read -r r g b <<<"$(shot_pixel "$1" "$2" "$3")"
    if [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; then echo red
    elif [ "$b" -gt 200 ] && [ "$r" -lt 60 ] && [ "$g" -lt 60 ]; then echo blue
    elif [ "$g" -gt 200 ] && [ "$r" -lt 60 ] && [ "$b" -lt 60 ]; then echo green
    else echo "$r,$g,$b"; fi
}
check() {  # file, x, y, expected, what
    local got
    got=$(colour "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$5: pixel $2,$3 of $1 is $got, expected $4"
}
check red.png 170 140 red "the first two seconds"
check blue.png 170 140 blue "the last two seconds"
check rewound.png 170 140 red "rewound to the first picture after the end"
# 320 x 240 in 640 x 240 (and in 640 x 264 over the controller): 321 x 241 from x 159 of the object.
for y in 410 660; do
    check red.png 168 $y green "left of the kept aspect"
    check red.png 170 $y red "left edge of the kept aspect"
    check red.png 488 $y red "right edge of the kept aspect"
    check red.png 490 $y green "right of the kept aspect"
done
# Every codec of old discs that Debian's ffmpeg can write plays (red, 160 x 120); broken movies show
# the background (green) and a folder the placeholder, hostile seeks raise nothing, and a folder
# or a named pipe given to Video.Load does not open.
codecs=(mpeg1video:mpg:yuv420p cinepak:avi:rgb24 msvideo1:avi:rgb555le wmv2:wmv:yuv420p svq1:mov:yuv410p
    mpeg4:avi:yuv420p libx264:mp4:yuv420p)
objects=""
x=0
for codec in "${codecs[@]}"; do
    IFS=: read -r name extension format <<<"$codec"
    ffmpeg -loglevel error -f lavfi -i "color=red:s=160x120:r=25:d=3" -c:v "$name" -pix_fmt "$format" \
        "$name.$extension" || fail "make $name"
    objects+="{\"typeCode\": 5, \"objectName\": \"$name\", \"rect\": [$x, 0, $((x + 160)), 120], \"objectEvents\": [],
      \"video\": {\"file\": \"$name.$extension\", \"controllerStyle\": 0, \"videoBackColor\": 65280}},"
    x=$((x + 170))
done
: >empty.avi
echo "no movie here" >text.avi
head -c 3000 mpeg4.avi >truncated.avi
mkdir folder.avi
mkfifo pipe.avi
x=0
for bad in empty text truncated folder; do
    objects+="{\"typeCode\": 5, \"objectName\": \"$bad\", \"rect\": [$x, 130, $((x + 160)), 250], \"objectEvents\": [],
      \"video\": {\"file\": \"$bad.avi\", \"controllerStyle\": 0, \"videoBackColor\": 65280}},"
    x=$((x + 170))
done
objects+=$(label Hostile "[0, 260, 100, 280]" "Video.Seek('mpeg4', SEEK_SPECIFIC, 0/0) Video.Seek('mpeg4', SEEK_BACKWARD, 1e12) Video.Seek('mpeg4', SEEK_SPECIFIC, -1e12) Video.SetVolume('mpeg4', 0/0) Debug.Print('hostile ' .. Application.GetLastError() .. ' ' .. Video.GetCurrentPos('mpeg4') .. ';') for _, name in {'folder.avi', 'pipe.avi'} do Video.Load('text', name) Debug.Print('load ' .. name .. ' ' .. Application.GetLastError() .. ';') end")
cat >codecs.json <<JSON
{"project": {"windowWidth": 1200, "windowHeight": 300}, "pages": [{"pageName": "Codecs", "pageEvents": [],
 "pageObjects": [$objects]}]}
JSON
"$bin/vxtool" pack codecs.json -o codecs.cdd || fail "pack codecs"
printf 'wait 1000\nshot codecs.png\nclick 10 270\nwait 100\n' >codecs.txt
"$bin/vantorix" --headless --screen 1300x400 --replay codecs.txt --log codecs.jsonl --timeout 30000 codecs.cdd 2>/dev/null ||
    fail "codecs run"
x=80
for codec in "${codecs[@]}"; do
    check codecs.png $x 60 red "${codec%%:*}"
    x=$((x + 170))
done
for x in 80 250 420; do check codecs.png $x 190 green "a broken movie shows the background"; done
[ "$(shot_pixel codecs.png 590 190)" = "255,255,255" ] || fail "a folder as a movie shows the placeholder"
[ "$(grep -c '"action":"error"' codecs.jsonl)" -eq 5 ] || fail "errors of the broken movies"
grep -q 'hostile 0 0;' <<<"$(debug_texts codecs.jsonl)" || fail "hostile seeks: $(debug_texts codecs.jsonl)"
grep -q 'load folder.avi 1001;load pipe.avi 1001;' <<<"$(debug_texts codecs.jsonl)" ||
    fail "a folder and a named pipe as movies: $(debug_texts codecs.jsonl)"

# A video's "On Play" that waits while the page it is on is left: the page change served by the
# wait takes the player away under the script, by a script's Play and by the controller's Play
# button; the run goes on.
cat >leave.json <<JSON
{"project": {"windowWidth": 400, "windowHeight": 300}, "pages": [{"pageName": "Page", "pageEvents": [],
  "pageObjects": [{"typeCode": 5, "objectName": "V", "rect": [10, 10, 330, 274], "objectEvents": [
    {"eventName": "On Play", "script": "Debug.Print('played;') Page.Jump('Page') Application.Sleep(50)"}],
   "video": {"file": "short.mpg", "playOnShow": 0}},
   $(label Go "[340, 10, 390, 30]" "Video.Play('V')")]}]}
JSON
"$bin/vxtool" pack leave.json -o leave.cdd || fail "pack leave"
printf 'wait 800\nclick 345 15\nwait 800\nclick 21 261\nwait 800\n' >leave.txt
"$bin/vantorix" --headless --replay leave.txt --log leave.jsonl --timeout 20000 leave.cdd 2>/dev/null ||
    fail "a page left under its video's On Play: status $?"
[ "$(grep -o 'played;' <<<"$(debug_texts leave.jsonl)" | wc -l)" -eq 2 ] ||
    fail "the two plays: $(debug_texts leave.jsonl)"
finish "player video"
