#!/usr/bin/env bash
# Bitmap and PNG files into a .res file of compressed bitmap resources,
# which the library's resource calls load again (vektool extract attaches the
# file to its own module and loads every bitmap with vekLoadSpriteData):
# bitmap files come back byte for byte, PNG files as the same picture.
source "$(dirname "$0")/common.sh"

make_palette
picture a.png 31 17 1
convert a.png -type palette -compress none BMP3:a.bmp
convert -seed 5 -size 300x200 plasma: -colors 200 -type palette -compress none BMP3:big.bmp
picture b.png 20 9 2 && convert b.png PNG8:b.png
picture c.png 13 11 3

"$vektool" res a.bmp big.bmp 7=b.png c.png -o game.res
"$vektool" info --json game.res > info.json
jq -e '.[0].type == "resource file" and .[0].count == 4' info.json > /dev/null || fail "info: $(cat info.json)"
jq -e '[.[0].resources[] | .type] == ["VORTLBMP", "VORTLBMP", "VORTLBMP", "VORTLBMP"]' info.json > /dev/null ||
  fail "types: $(cat info.json)"
jq -e '[.[0].resources[] | .name] == ["#1", "#2", "#7", "#8"]' info.json > /dev/null || fail "names: $(cat info.json)"
jq -e '.[0].resources[1] | .image == "300 x 200, 8 bits" and .size < .expanded' info.json > /dev/null ||
  fail "the compressed bitmap: $(cat info.json)"

"$vektool" extract game.res -o out
cmp a.bmp out/game-1.bmp || fail "a.bmp does not come back"
cmp big.bmp out/game-2.bmp || fail "big.bmp does not come back"
same_picture b.png out/game-7.bmp
same_picture c.png out/game-8.bmp

# Standard bitmap resources, uncompressed: type 2, the file without its
# 14-byte header.
"$vektool" res --store none --first-id 100 a.bmp -o plain.res
"$vektool" info --json plain.res | jq -e '.[0].resources[0] | .type == "#2 (BITMAP)" and .name == "#100"' > /dev/null ||
  fail "plain resources: $("$vektool" info plain.res)"
"$vektool" extract plain.res -o plain
cmp <(tail -c +15 a.bmp) plain/plain-2-100.bin || fail "the standard bitmap resource differs"
echo ok
