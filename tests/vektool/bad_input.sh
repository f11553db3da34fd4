#!/usr/bin/env bash
# Damaged and hostile inputs: every command exits with status 1, names the
# file at fault, and leaves no output (nor any part or temporary file of
# it); bad usage exits with status 2; --help with 0.
source "$(dirname "$0")/common.sh"

make_palette
picture a.png 37 23 1
"$vektool" sprite a.png --palette palette.png -o good.obj
convert a.png -type palette -compress none BMP3:a.bmp
"$vektool" res a.bmp -o good.res
"$vektool" font "$data/tiny.bdf" -o tiny.fnt
seq 1 5000 > numbers && "$vektool" lzss c numbers numbers.lz

# CRC-32 of the bytes given in hexadecimal, as PNG chunks carry it.
crc32() {
  local crc=$((0xFFFFFFFF)) byte i
  for byte in "$@"; do
    crc=$((crc ^ 0x$byte))
    for i in 1 2 3 4 5 6 7 8; do crc=$(((crc >> 1) ^ (crc & 1 ? 0xEDB88320 : 0))); done
  done
  printf '%08x' $((crc ^ 0xFFFFFFFF))
}
# hex HEX...: the bytes.
hex() { local b; for b in "$@"; do printf "\\x$b"; done; }

# PNG files cut short, changed inside, not PNG at all, 100000 pixels wide
# (a whole header with its CRC, then the end); a bitmap file that claims a
# width of 100000. The first, good image must not reach the output either.
head -c 200 a.png > cut.png
cp a.png changed.png && printf '\377\377\377\377\377\377\377\377' | dd of=changed.png bs=1 seek=120 conv=notrunc 2> /dev/null
printf 'not a picture at all' > text.png
ihdr=(49 48 44 52 00 01 86 a0 00 00 00 01 08 00 00 00 00)
crc=$(crc32 "${ihdr[@]}")
{ hex 89 50 4e 47 0d 0a 1a 0a 00 00 00 0d "${ihdr[@]}" ${crc:0:2} ${crc:2:2} ${crc:4:2} ${crc:6:2}
  hex 00 00 00 00 49 45 4e 44 ae 42 60 82; } > wide.png
cp a.bmp wide.bmp && printf '\240\206\1\0' | dd of=wide.bmp bs=1 seek=18 conv=notrunc 2> /dev/null
for bad in cut.png changed.png text.png wide.png wide.bmp; do
  fails_with 1 $bad out.obj -- "$vektool" sprite a.png $bad --palette palette.png -o out.obj
  fails_with 1 $bad out.res -- "$vektool" res a.bmp $bad -o out.res
done
fails_with 1 cut.png "" -- "$vektool" info cut.png

# Object files cut short, with a header that claims 2 GiB from 16 bytes, and
# with such an object after good ones.
head -c -7 good.obj > cut.obj
{ printf '\377\377\377\177\20\0\0\0\1\0\0\0'; head -c 16 /dev/zero; } > absurd.obj
cat good.obj good.obj absurd.obj > mixed.obj
for bad in cut.obj absurd.obj mixed.obj; do
  fails_with 1 $bad "" -- "$vektool" info $bad
  fails_with 1 $bad out -- "$vektool" extract $bad -o out
  fails_with 1 $bad out.png -- "$vektool" render $bad -o out.png
  fails_with 1 $bad out.obj -- "$vektool" pack --store lzss $bad -o out.obj
done
fails_with 1 cut.obj out -- "$vektool" unpack cut.obj -o out
mkdir kept && fails_with 1 mixed.obj "" -- "$vektool" extract mixed.obj -o kept
[ -z "$(ls kept)" ] || fail "extract left files in a folder it did not make: $(ls kept)"

# Resource files, fonts and compressed files cut short or damaged.
head -c -10 good.res > cut.res
fails_with 1 cut.res "" -- "$vektool" info cut.res
fails_with 1 cut.res out -- "$vektool" extract cut.res -o out
sed 's/BBX 5 6 0 0/BBX 5 99999 0 0/' "$data/tiny.bdf" > bad.bdf
fails_with 1 bad.bdf out.fnt -- "$vektool" font bad.bdf -o out.fnt
head -c 300 tiny.fnt > cut.fnt
fails_with 1 cut.fnt out.png -- "$vektool" text cut.fnt "Ab" -o out.png
fails_with 1 a.png out.png -- "$vektool" text a.png "Ab" -o out.png
head -c 40 numbers.lz > cut.lz
fails_with 1 cut.lz out -- "$vektool" lzss d cut.lz out
{ printf '\377\377\377\177\20\0\0\0'; head -c 8 numbers.lz; } > absurd.lz
fails_with 1 absurd.lz out -- "$vektool" lzss d absurd.lz out
fails_with 1 missing.obj "" -- "$vektool" info missing.obj

# Bad usage.
fails_with 2 "" "" -- "$vektool"
fails_with 2 "" "" -- "$vektool" frobnicate
fails_with 2 "" out.obj -- "$vektool" sprite a.png
fails_with 2 "" out.obj -- "$vektool" sprite a.png -o out.obj --store zip
fails_with 2 "" out.obj -- "$vektool" sprite a.png -o out.obj --transparent purple
fails_with 2 "" out -- "$vektool" lzss x numbers out
fails_with 2 "" out -- "$vektool" lzss d --raw numbers.lz out
fails_with 2 "" "" -- "$vektool" info --bare --header good.obj
fails_with 2 "" out.obj -- "$vektool" pack --bare --store lzss good.obj -o out.obj

for command in info sprite extract render pack unpack lzss font text res play; do
  "$vektool" $command --help > help.txt || fail "$command --help exits $?"
  grep -q "Usage" help.txt || fail "$command --help: $(cat help.txt)"
done
echo ok
