#!/usr/bin/env bash
# The window closed while a page's media start: at times spread over the first second after
# the page shows, nothing of the page (a movie opened or played, a Flash player made, a sound
# loaded or played, an event script or its output, a page shown) follows the project's
# "On Shutdown". The same for a close while the intro shows: no page follows it. With Flash
# when the build has its player.
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1
ffmpeg -loglevel error -f lavfi -i "color=red:s=160x120:r=25:d=2" -f lavfi -i "sine=frequency=440:duration=2" \
    -c:v mpeg4 -c:a mp2 -shortest movie.avi || fail "make movie.avi"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=0.15" tone.wav || fail "make tone.wav"
flash=""
if [ -f "$bin/../lib/vantorix/vx_flash_ruffle.so" ] && [ -f "$bin/../share/vantorix/ruffle/ruffle.js" ]; then
    "$bin/vx_swfgen" movie.swf --size 100x80 --rate 10 --colors ff0000,0000ff --paint-frames --frames 10 ||
        fail "vx_swfgen"
    flash='{"typeCode": 4, "objectName": "F", "rect": [180, 10, 280, 90], "flash": {"file": "movie.swf"}},'
fi

# The sound plays again at each of its ends, so its events never stop by themselves.
cat >page.json <<JSON
{"project": {"windowWidth": 300, "windowHeight": 200,
  "projectEvents": [$(print_event "On Shutdown" "shutdown")]},
 "pages": [{"pageName": "Page", "pageEvents": [
   {"eventName": "On Show", "script": "Audio.Load(CHANNEL_NARRATION, 'tone.wav') Audio.Play(CHANNEL_NARRATION)"},
   {"eventName": "On Audio", "script": "Debug.Print('audio ' .. e_State .. ';') if e_State == 'Finish' then Audio.Play(CHANNEL_NARRATION) end"},
   $(print_event "On Close" "close")],
  "pageObjects": [$flash
   {"typeCode": 5, "objectName": "V", "rect": [10, 10, 170, 130], "objectEvents": [
     $(print_event "On Play" "play"), $(print_event "On Stop" "stop"), $(print_event "On Finish" "finish")],
    "video": {"file": "movie.avi", "loop": 1, "controllerStyle": 0}}]}]}
JSON
cat >intro.json <<JSON
{"project": {"windowWidth": 300, "windowHeight": 200,
  "introSettings": {"enabled": 1, "file": "movie.avi", "mediaKind": 0},
  "projectEvents": [$(print_event "On Shutdown" "shutdown")]},
 "pages": [{"pageName": "Page", "pageEvents": [$(print_event "On Show" "show")]}]}
JSON
for menu in page intro; do "$bin/vxtool" pack $menu.json -o $menu.cdd || fail "pack $menu"; done

# What a log holds after its "On Shutdown" script that belongs to the page or the intro.
after_shutdown() {
    sed -n '/"context":"Project -> On Shutdown"/,$p' "$1" | tail -n +2 |
        grep -E '"ev":"(script|debug|page)"|"ev":"video","action":"(open|play)"|"ev":"audio","action":"(load|play)"|"ev":"flash","action":"(created|ready)"|"ev":"intro","action":"start"'
}

for menu in page intro; do
    for delay in 0 60 150 300 450 600 800 1000; do
        printf 'wait %s\nclose\n' "$delay" >steps.txt
        "$bin/vantorix" --headless --replay steps.txt --log $menu-$delay.jsonl --timeout 20000 $menu.cdd 2>/dev/null ||
            fail "$menu closed at $delay ms: the run failed"
        grep -q '"context":"Project -> On Shutdown"' $menu-$delay.jsonl || fail "$menu closed at $delay ms: no On Shutdown"
        late=$(after_shutdown $menu-$delay.jsonl)
        [ -z "$late" ] || fail "$menu closed at $delay ms, after On Shutdown: $late"
    done
done
# The close during the intro ends it as closed, with no page after it.
grep -q '"ev":"intro","action":"end","reason":"closed"' intro-0.jsonl || fail "the intro's end: $(grep intro intro-0.jsonl)"
grep -q '"ev":"page"' intro-0.jsonl && fail "a page after an intro closed"
# And the movies did start in the later runs, so the close met them under way.
grep -q '"ev":"video","action":"play"' page-1000.jsonl || fail "the page's movie never played"
finish "player close media"
