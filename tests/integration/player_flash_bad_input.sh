#!/usr/bin/env bash
# Flash movies that are broken or behave badly: files that are no movie show the placeholder
# without a player; a movie under a name full of quotes, markup and percent signs plays; a
# movie's getURL reaches nothing; FSCommand arguments of any text reach the log intact; a
# 100 MB movie and a movie whose script never ends leave the player's window answering; a player
# whose process dies gives way to the placeholder. Skipped when the build has no Flash player.
source "$(dirname "$0")/lib/player_setup.sh"
if [ ! -f "$bin/../lib/vantorix/vx_flash_ruffle.so" ] || [ ! -f "$bin/../share/vantorix/ruffle/ruffle.js" ]; then
    echo "player flash bad input: skipped, this build has no Flash player"
    exit 0
fi
cd "$work" || exit 1

# A web server on this machine stands for the web: nothing may ever reach it.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 >server.log 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT

odd_name=$'it\'s "odd" <b>%41 caf\xc3\xa9.swf'
odd_args=$'say "hi" <script>alert(1)</script> %41 \\ caf\xc3\xa9'
"$bin/vx_swfgen" "$odd_name" --size 100x100 --colors 0000ff --paint-frames --frames 4 --rate 8 \
    --fscommand-at 1 "odd" "$odd_args" || fail "vx_swfgen odd"
"$bin/vx_swfgen" good.swf --size 100x100 --colors ff00ff --paint-frames || fail "vx_swfgen good"
head -c 30 good.swf >truncated.swf
printf 'CWS\x0a\x00\x10\x00\x00this is no zlib stream at all' >broken.swf
echo "just some text, not a movie" >text.swf
"$bin/vx_swfgen" leak.swf --size 100x100 --colors ffff00 --paint-frames --frames 3 --rate 8 \
    --geturl-at 1 "http://127.0.0.1:$port/page" --geturl-at 2 "http://127.0.0.1:$port/movie.swf" _level1 ||
    fail "vx_swfgen leak"
"$bin/vx_swfgen" big.swf --size 100x100 --colors 00ffff --paint-frames || fail "vx_swfgen big"
truncate -s 100M big.swf
"$bin/vx_swfgen" endless.swf --size 100x100 --colors 808080 --paint-frames --loop-forever-at 0 || fail "vx_swfgen endless"

flash() { # name, rect, file
    printf '{"typeCode": 4, "objectName": "%s", "rect": %s, "flash": {"file": %s}}' "$1" "$2" \
        "$(/usr/bin/python3 -c 'import json, sys; print(json.dumps(sys.argv[1]))' "$3")"
}
state() { printf "Debug.Print('%s ' .. Flash.GetState('%s') .. ';')" "$1" "$1"; }
# A 300 by 200 menu NAME.cdd of one green page with the objects given.
small_menu() {
    local name=$1
    shift
    local objects
    objects=$(IFS=,; echo "$*")
    printf '{"project": {"windowWidth": 300, "windowHeight": 200}, "pages": [{"pageName": "Home", "backgroundColor": 65280, "pageObjects": [%s]}]}' \
        "$objects" >"$name.json"
    "$bin/vxtool" pack "$name.json" -o "$name.cdd" || fail "pack $name"
}
cat >menu.json <<JSON
{"project": {"windowWidth": 560, "windowHeight": 300},
 "pages": [{"pageName": "Home", "backgroundColor": 65280, "pageObjects": [
   $(flash Odd "[10, 10, 110, 110]" "$odd_name"),
   $(flash Text "[120, 10, 220, 110]" text.swf),
   $(flash Broken "[230, 10, 330, 110]" broken.swf),
   $(flash Truncated "[340, 10, 440, 110]" truncated.swf),
   $(flash Leak "[450, 10, 550, 110]" leak.swf),
   $(flash Big "[10, 130, 110, 230]" big.swf),
   $(label Ask "[300, 250, 360, 265]" "$(state Odd) $(state Text) $(state Leak) $(state Big)")]}]}
JSON
"$bin/vxtool" pack menu.json -o menu.cdd || fail "pack"
cat >steps.txt <<STEPS
wait 7000
click 305 256
shot $work/shown.png
wait 8000
click 305 256
shot $work/later.png
close
STEPS
"$bin/vantorix" --headless --replay steps.txt --log run.jsonl --timeout 40000 menu.cdd 2>stderr.txt ||
    fail "the run failed: $(cat stderr.txt)"
[ -s stderr.txt ] && fail "standard error: $(cat stderr.txt)"
texts=$(debug_texts run.jsonl)
# The 100 MB movie may take its time on a busy machine.
[[ "$texts" == *"Odd 4;"*"Leak 4;"* ]] || fail "the good movies did not load: $texts"
[[ "$texts" == *"Big 4;"* ]] || fail "the 100 MB movie did not load: $texts"
[[ "$texts" == *"Text -1;"* ]] || fail "the text file has a player: $texts"
for file in text.swf broken.swf; do
    grep -q "\"ev\":\"flash\",\"action\":\"error\",\"file\":\"[^\"]*$file\",\"detail\":\"not a Flash movie\"" run.jsonl ||
        fail "no error for $file: $(grep flash run.jsonl)"
    grep -q "\"action\":\"created\",\"file\":\"[^\"]*$file\"" run.jsonl && fail "$file got a player"
done
# The text file and the broken stream show the placeholder, not the page's green.
[ "$(shot_pixel shown.png 170 60)" = "0,255,0" ] && [ "$(shot_pixel shown.png 125 15)" = "0,255,0" ] &&
    fail "no placeholder for the text file"
[ "$(shot_pixel shown.png 60 60)" = "0,0,255" ] || fail "the movie with the odd name: $(shot_pixel shown.png 60 60)"
[ "$(shot_pixel later.png 60 180)" = "0,255,255" ] || fail "the 100 MB movie: $(shot_pixel later.png 60 180)"
# The FSCommand's arguments come through as they are, in a log line that is still JSON.
/usr/bin/python3 - "$odd_args" run.jsonl <<'PY' || fail "the FSCommand with odd arguments"
import json, sys
entries = [json.loads(line) for line in open(sys.argv[2], encoding="utf-8")]
sys.exit(0 if any(e.get("action") == "fscommand" and e.get("detail") == "odd " + sys.argv[1] for e in entries) else 1)
PY
grep -q "GET" server.log && fail "a movie reached the web: $(cat server.log)"

# A movie whose script never ends, on its own: the window still answers clicks, and closes.
small_menu endless "$(flash Endless "[10, 10, 110, 110]" endless.swf)" \
    "$(label Ask "[200, 150, 260, 165]" "Debug.Print('answered;')")"
cat >steps.txt <<STEPS
wait 5000
click 205 156
close
STEPS
"$bin/vantorix" --headless --replay steps.txt --log endless.jsonl --timeout 20000 endless.cdd 2>/dev/null ||
    fail "the run with the endless movie failed"
[[ "$(debug_texts endless.jsonl)" == *"answered;"* ]] || fail "the window did not answer beside the endless movie"

# The player's process ends under a playing movie: the placeholder takes its place.
small_menu crash "$(flash Movie "[10, 10, 110, 110]" good.swf)" "$(label Ask "[200, 150, 260, 165]" "$(state Movie)")"
cat >steps.txt <<STEPS
wait 9000
click 205 156
shot $work/crashed.png
close
STEPS
"$bin/vantorix" --headless --replay steps.txt --log crash.jsonl --timeout 30000 crash.cdd 2>/dev/null &
pid=$!
for _ in $(seq 50); do
    grep -q '"action":"ready","file":"[^"]*good.swf","state":4' crash.jsonl 2>/dev/null && break
    sleep 0.1
done
# The web engine forks its renderers from its zygote processes, the player's children.
killed=""
for zygote in $(pgrep -P "$pid" -f -- --type=zygote); do
    pkill -KILL -P "$zygote" && killed=yes
done
[ -n "$killed" ] || fail "no renderer process to end"
wait $pid || fail "the run whose player died failed"
[[ "$(debug_texts crash.jsonl)" == *"Movie -1;"* ]] || fail "the dead player still answers: $(debug_texts crash.jsonl)"
[ "$(shot_pixel crashed.png 60 60)" = "255,0,255" ] && fail "the dead player's movie still shows"
[ "$(shot_pixel crashed.png 60 60)" = "0,255,0" ] && [ "$(shot_pixel crashed.png 15 15)" = "0,255,0" ] &&
    fail "no placeholder for the dead player"

finish "player flash bad input"
