#!/usr/bin/env bash
# vektool info and play on MIDI files: the header and the length the
# sequencer plays; playing to the end, and stopping early.
source "$(dirname "$0")/common.sh"
export VEKHOST_AUDIO_FILE=$work/audio.raw

# One track, 96 ticks a quarter note at 500000 us a quarter note: a note of
# 96 ticks, then the end after the delta time given (bytes of a variable
# length quantity) and the track's length in bytes.
midi() {
  printf 'MThd\0\0\0\6\0\0\0\1\0\140'
  printf "MTrk\\0\\0\\0\\$2"
  printf '\0\377\121\3\7\241\40'   # tempo 500000
  printf '\0\220\74\100'           # note on
  printf '\140\200\74\100'         # 96 ticks later, note off
  printf "$1"'\377\57\0'           # end of track
}
midi '\140' 023 > one.mid          # 96 + 96 ticks: 1 second
midi '\235\40' 024 > long.mid      # 96 + 3744 ticks: 20 seconds
printf 'MThd, but not a MIDI file' > bad.mid

"$vektool" info --json one.mid > info.json
jq -e '.[0] | .type == "MIDI file" and .format == 0 and .tracks == 1 and .seconds == 1' info.json > /dev/null ||
  fail "info: $(cat info.json)"
"$vektool" info long.mid | grep -q "seconds: 20.000" || fail "info: $("$vektool" info long.mid)"

timeout 60 "$vektool" play one.mid || fail "play to the end"
timeout 15 "$vektool" play long.mid --seconds 0.2 || fail "play --seconds 0.2 did not stop early"
fails_with 1 bad.mid "" -- "$vektool" play bad.mid
echo ok
