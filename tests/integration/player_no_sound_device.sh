#!/usr/bin/env bash
# A machine without a sound device: the run goes on silent, says so once in its log with the
# reason, and nothing of the sound libraries' own complaints (ALSA's, PipeWire's, SDL's) reaches
# standard error: in a real window under Xvfb, and headless through each driver by name.
source "$(dirname "$0")/lib/player_setup.sh"
cd "$work" || exit 1
printf 'wait 300\nclose\n' >steps.txt
runs=("--headless --audio-driver alsa" "--headless --audio-driver pipewire" "--headless --audio-driver pulseaudio")
command -v xvfb-run >/dev/null && runs+=("window")
for run in "${runs[@]}"; do
    if [ "$run" = window ]; then
        xvfb-run -a "$bin/vantorix" --replay steps.txt --log log.jsonl --timeout 20000 \
            "$bin/../examples/demo/demo.cdd" 2>stderr.txt
    else
        # shellcheck disable=SC2086
        "$bin/vantorix" $run --replay steps.txt --log log.jsonl --timeout 20000 "$bin/../examples/demo/demo.cdd" \
            2>stderr.txt
    fi
    status=$?
    if ! grep -q '"ev":"audio","action":"off"' log.jsonl; then
        grep -q '"ev":"exit","code":0' log.jsonl || fail "$run: the run did not end well (status $status)"
        echo "$run: a sound device opened here; nothing to check"
        continue
    fi
    [ "$status" -eq 0 ] || fail "$run: exit status $status"
    [ "$(grep -c '"ev":"audio","action":"off","reason":"no sound device opened (' log.jsonl)" -eq 1 ] ||
        fail "$run: not one line that sound is off: $(grep '"audio"' log.jsonl)"
    [ -s stderr.txt ] && fail "$run: standard error is not empty: $(head -5 stderr.txt)"
done
finish "player no sound device"
