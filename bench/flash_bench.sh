#!/usr/bin/env bash
# Flash in a headless run: how long a page shown takes to have its movie loaded (cold, with the
# web engine started for it, and warm, on the next page), the memory of a page with two Flash
# objects (the player and the web engine's processes), and the processor time of an idle page
# whose movie is stopped. Usage: bench/flash_bench.sh BUILD_BIN_FOLDER
set -u
bin=$(cd "${1:-build/bin}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTORIX_DATA_HOME=$work/data
cd "$work" || exit 1
"$bin/vx_swfgen" a.swf --size 320x240 --rate 12 --colors ff0000,00ff00 --paint-frames --frames 24 >/dev/null
"$bin/vx_swfgen" b.swf --size 320x240 --rate 12 --colors 0000ff,ffff00 --paint-frames --frames 24 >/dev/null
flash() { printf '{"typeCode": 4, "objectName": "%s", "rect": %s, "flash": {"file": "%s", "playOnShow": %s}}' "$@"; }
cat >menu.json <<JSON
{"project": {"windowWidth": 700, "windowHeight": 300},
 "pages": [{"pageName": "One", "pageObjects": [$(flash A "[10, 10, 330, 250]" a.swf 1)],
            "pageEvents": [{"eventName": "On Key", "script": "Page.Jump('Two')"}]},
           {"pageName": "Two", "pageObjects": [$(flash B "[10, 10, 330, 250]" b.swf 1), $(flash C "[350, 10, 670, 250]" a.swf 1)],
            "pageEvents": [{"eventName": "On Key", "script": "Page.Jump('Three')"}]},
           {"pageName": "Three", "pageObjects": [$(flash D "[10, 10, 330, 250]" a.swf 0)]}]}
JSON
"$bin/vxtool" pack menu.json -o menu.cdd
printf 'wait 6000\nkey 32\nwait 6000\nkey 32\nwait 9000\nclose\n' >steps.txt
"$bin/vantorix" --headless --replay steps.txt --log run.jsonl --timeout 60000 menu.cdd 2>/dev/null &
player=$!
# Memory with two Flash objects: the player and the web engine's processes, in the middle of page Two.
sleep 9
# Proportional set sizes: a page of memory shared by several of the processes counts once in all.
pss() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
total=$(pss "$player")
for child in $(pgrep -f QtWebEngineProcess); do total=$((total + $(pss "$child"))); done
# The idle page with its movie stopped: processor time of all of them over 5 s on page Three.
sleep 5
ticks() {
    local sum=0 pid
    for pid in "$player" $(pgrep -f QtWebEngineProcess); do
        sum=$((sum + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
    done
    echo $sum
}
before=$(ticks)
sleep 5
after=$(ticks)
wait "$player"
at() { grep "$1" run.jsonl | head -1 | sed 's/.*"t":\([0-9]*\).*/\1/'; }
page_ms() { at "\"ev\":\"page\",\"index\":$1"; }
loaded_ms() { grep '"action":"ready"' run.jsonl | grep '"state":4' | sed -n "$1p" | sed 's/.*"t":\([0-9]*\).*/\1/'; }
echo "page shown -> movie loaded, cold:  $(($(loaded_ms 1) - $(page_ms 0))) ms"
echo "page shown -> movie loaded, warm:  $(($(loaded_ms 2) - $(page_ms 1))) ms (the first of two movies)"
echo "page shown -> movie loaded, warm:  $(($(loaded_ms 3) - $(page_ms 1))) ms (the second of two movies)"
echo "memory of a page with two movies:  $((total / 1024)) MB (the player and the web engine's processes, PSS)"
echo "idle page with a stopped movie:    $(((after - before) * 1000 / $(getconf CLK_TCK) / 5)) ms of processor time per second"
