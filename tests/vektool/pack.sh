#!/usr/bin/env bash
# vektool unpack and pack: an object file to a folder of one-object files
# and back, byte for byte; objects stored anew with another method, or as
# bare objects, hold the same images.
source "$(dirname "$0")/common.sh"

make_palette
picture a.png 37 23 1
picture b.png 19 41 2
"$vektool" sprite a.png b.png --rle --mirror --palette palette.png -o all.obj
"$vektool" extract all.obj -o images --palette palette.png

"$vektool" unpack all.obj -o parts
[ "$(ls parts | tr '\n' ' ')" = "all-000.obj all-001.obj all-002.obj all-003.obj " ] || fail "parts: $(ls parts)"
"$vektool" info parts/all-002.obj | grep -q "count: 1" || fail "a part is an object file of one object"
"$vektool" pack parts -o again.obj
cmp all.obj again.obj || fail "pack of the unpacked folder differs"

"$vektool" pack parts/all-001.obj parts/all-000.obj -o swapped.obj
"$vektool" extract swapped.obj -o swapped --palette palette.png
cmp images/all-001.png swapped/swapped-000.png || fail "pack keeps the order given"

for store in none lzss bits; do
  "$vektool" pack all.obj --store $store -o $store.obj
  "$vektool" extract $store.obj -o $store --palette palette.png
  for i in 000 001 002 003; do cmp images/all-$i.png $store/$store-$i.png || fail "--store $store: object $i"; done
done

"$vektool" pack all.obj --bare -o bare.obj
"$vektool" info --json bare.obj | jq -e '.[0].layout == "bare objects" and .[0].count == 4' > /dev/null ||
  fail "bare: $("$vektool" info bare.obj)"
"$vektool" extract bare.obj -o bare --palette palette.png
for i in 000 001 002 003; do cmp images/all-$i.png bare/bare-$i.png || fail "bare object $i"; done
"$vektool" unpack bare.obj -o bare-parts
"$vektool" pack --bare bare-parts -o bare-again.obj
cmp bare.obj bare-again.obj || fail "bare objects do not pack back"

# Sound objects come out as WAV files: one stored raw (its header a WAV
# header of 11025 Hz), one packed (method 4: first sample 100, then code
# 0xFF, sample 254, and code 0x41, once more) whose header is not.
wav_header() {  # samples
  printf 'RIFF'; printf "\\x$(printf %02x $((36 + $1)))\\0\\0\\0"
  printf 'WAVEfmt \20\0\0\0\1\0\1\0\21\53\0\0\21\53\0\0\1\0\10\0data'
  printf "\\x$(printf %02x $1)\\0\\0\\0"
}
{ printf '\63\0\0\0\63\0\0\0\0\0\0\0\57\0\0\0'; wav_header 3; printf '\1\2\3'; } > raw-sound.obj
{ printf '\63\0\0\0\64\0\0\0\4\0\0\0\57\0\0\0'; head -c 44 /dev/zero; printf '\10\144\377\101'; } > packed-sound.obj
"$vektool" info --json raw-sound.obj packed-sound.obj |
  jq -e '[.[].objects[0] | .content, .samples] == ["sound", 3, "sound", 3]' > /dev/null ||
  fail "sound objects: $("$vektool" info raw-sound.obj packed-sound.obj)"
"$vektool" extract raw-sound.obj packed-sound.obj -o sounds 2> /dev/null && fail "extract takes one file"
"$vektool" extract raw-sound.obj -o sounds
"$vektool" extract packed-sound.obj -o sounds
cmp sounds/raw-sound-000.wav <(wav_header 3; printf '\1\2\3') || fail "the raw sound"
cmp sounds/packed-sound-000.wav <(wav_header 3; printf '\144\376\376') || fail "the packed sound"
echo ok
