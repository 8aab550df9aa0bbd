#!/usr/bin/env bash
# What a run plays, heard through --audio-out: a tone on the narration channel at full volume,
# at 128 and muted, with its "On Audio" events; the background playlist in order; the click
# sound of a button; and a run whose sound device does not open, which goes on silent.
source "$(dirname "$0")/lib/player_setup.sh"
tool="$bin/vx_sound_tool"

mkdir -p "$work/menu"
"$tool" tone "$work/menu/tone.wav" 0.4 440 22050 || fail "tone"
"$tool" tone "$work/menu/first.ogg" 0.3 330 || fail "first track"
"$tool" tone "$work/menu/second.flac" 0.3 550 || fail "second track"
"$tool" tone "$work/menu/click.wav" 0.1 880 || fail "click"

# Three plays of the tone, each started from the end of the one before: 255, 128, muted.
cat >"$work/narration.json" <<'JSON'
{"pages": [{"pageName": "Home",
  "pageEvents": [
   {"eventName": "On Show", "script": "plays = 0\r\nAudio.Load(CHANNEL_NARRATION, 'tone.wav')\r\nDebug.Print('loaded;')"},
   {"eventName": "On Audio", "script": "Debug.Print(e_Channel .. ' ' .. e_State .. ';')\r\nif e_State ~= 'Finish' then return end\r\nplays = plays + 1\r\nif plays == 1 then Audio.SetVolume(CHANNEL_NARRATION, 128) Audio.Play(CHANNEL_NARRATION)\r\nelseif plays == 2 then Audio.ToggleMute(CHANNEL_NARRATION) Audio.Play(CHANNEL_NARRATION) Debug.Print('muted ' .. Audio.GetVolume(CHANNEL_NARRATION) .. ';')\r\nelse Application.Exit() end"}]}]}
JSON
"$bin/vxtool" pack "$work/narration.json" -o "$work/menu/narration.cdd" || fail "pack narration"
"$bin/vantorix" --headless --audio-out "$work/narration.wav" --log "$work/narration.jsonl" --timeout 20000 \
    "$work/menu/narration.cdd"
status=$?
[ "$status" -eq 0 ] || fail "the narration run ended with status $status"
got=$(debug_texts "$work/narration.jsonl")
narration_events="6 Play;loaded;6 Finish;6 Play;6 Finish;6 Play;muted 0;6 Finish;"
[ "$got" = "$narration_events" ] || fail "events '$got', not '$narration_events'"
read -r first last < <("$tool" span "$work/narration.wav")
[ -n "$first" ] && [ "$first" != none ] || fail "the mix is silent"
full=$("$tool" peak "$work/narration.wav" $((first + 50)) $((first + 350)))
half=$("$tool" peak "$work/narration.wav" $((first + 500)) $((first + 750)))
[ "$full" -gt 15500 ] && [ "$full" -lt 17000 ] || fail "the tone at 255 peaks at $full, not about 16384"
# 128/255 is 6 dB below.
ratio=$((half * 1000 / full))
[ "$ratio" -gt 490 ] && [ "$ratio" -lt 515 ] || fail "the tone at 128 is $ratio/1000 of the one at 255"
sounding=$((last - first))
[ "$sounding" -gt 760 ] && [ "$sounding" -lt 900 ] || fail "sound for $sounding ms, not two plays of 400 ms"
muted=$("$tool" peak "$work/narration.wav" $((first + 900)) $((first + 1200)))
[ "$muted" -eq 0 ] || fail "the muted play is heard ($muted)"

# The background playlist, in order and without looping, then a click on a button.
cat >"$work/playlist.json" <<'JSON'
{"project": {"defaultClickSound": "click.wav",
   "backgroundMusic": {"loopList": 0, "musicVolume": 200, "tracks": ["first.ogg", "second.flac"]}},
 "pages": [{"pageName": "Home",
  "pageEvents": [{"eventName": "On Audio", "script": "Debug.Print('page heard ' .. e_Channel .. ' ' .. e_State .. ';')"}],
  "pageObjects": [{"typeCode": 0, "objectName": "Button", "rect": [0, 0, 100, 100], "button": {"hoverSoundMode": 0}}]}]}
JSON
"$bin/vxtool" pack "$work/playlist.json" -o "$work/menu/playlist.cdd" || fail "pack playlist"
printf 'wait 900\nclick 50 50\nwait 400\nclose\n' >"$work/click.txt"
"$bin/vantorix" --headless --audio-out "$work/playlist.wav" --log "$work/playlist.jsonl" --replay "$work/click.txt" \
    --timeout 20000 "$work/menu/playlist.cdd"
status=$?
[ "$status" -eq 0 ] || fail "the playlist run ended with status $status"
# The first track starts before the page shows; the second is a play the page hears. The end of a
# track is no "Finish" (the next one starts instead), and the effects channel is never heard.
heard=$(debug_texts "$work/playlist.jsonl")
[ "$heard" = "page heard 5 Play;" ] || fail "the page heard '$heard'"
loads=$(grep -o '"action":"load","channel":[0-9]*,"file":"[^"]*' "$work/playlist.jsonl" | sed 's/.*"channel":\([0-9]*\).*\\\([^\\]*\)$/\1 \2/' | tr '\n' ';')
[ "$loads" = "5 first.ogg;5 second.flac;0 click.wav;" ] || fail "loads '$loads'"
grep -q '"action":"end","channel":5' "$work/playlist.jsonl" || fail "no end of a track in the log"
read -r first last < <("$tool" span "$work/playlist.wav")
peak=$("$tool" peak "$work/playlist.wav" $((first + 50)) $((first + 250)))
expected=$((16384 * 200 / 255))
[ $((peak - expected)) -lt 400 ] && [ $((expected - peak)) -lt 400 ] || fail "the music peaks at $peak, not $expected"
click=$("$tool" peak "$work/playlist.wav" 900 1400)
[ "$click" -gt 15000 ] || fail "the click is not heard ($click)"

# The same tone through SDL's own output: its disk driver writes what a sound card would get.
SDL_DISKAUDIOFILE="$work/disk.raw" "$bin/vantorix" --headless --audio-driver disk --log "$work/disk.jsonl" \
    --timeout 20000 "$work/menu/narration.cdd" 2>/dev/null
status=$?
[ "$status" -eq 0 ] || fail "the run through SDL ended with status $status"
[ "$(debug_texts "$work/disk.jsonl")" = "$narration_events" ] || fail "through SDL the events are '$(debug_texts "$work/disk.jsonl")'"
[ "$(wc -c <"$work/disk.raw")" -gt 300000 ] || fail "SDL was given less than a second of sound"

# No sound device: the run starts, silent, and scripts see it.
cat >"$work/silent.json" <<'JSON'
{"pages": [{"pageName": "Home", "pageEvents": [{"eventName": "On Show",
  "script": "Debug.Print(tostring(_SoundInitialized))\r\nAudio.Load(CHANNEL_NARRATION, 'tone.wav')\r\nDebug.Print(' ' .. Application.GetLastError())\r\nApplication.Exit()"}]}]}
JSON
"$bin/vxtool" pack "$work/silent.json" -o "$work/menu/silent.cdd" || fail "pack silent"
"$bin/vantorix" --headless --audio-driver no-such-driver --log "$work/silent.jsonl" --timeout 20000 \
    "$work/menu/silent.cdd" 2>"$work/silent.err"
status=$?
[ "$status" -eq 0 ] || fail "the silent run ended with status $status"
[ "$(debug_texts "$work/silent.jsonl")" = "false 1001" ] || fail "without sound: '$(debug_texts "$work/silent.jsonl")'"
[ -s "$work/silent.err" ] && fail "a silent start writes to standard error: $(cat "$work/silent.err")"

finish "player audio"
