#!/usr/bin/env bash
# PNG files into object files of sprite images and back out: info tells what
# the file holds, and extract gives the same pictures through the same
# palette, for raw and RLE images, every storage method, mirrored copies and
# files through standard input and output.
source "$(dirname "$0")/common.sh"

make_palette
picture a.png 37 23 1 && convert a.png PNG8:a.png
# b: a disc whose outside is transparent (alpha), in true colour.
picture b-opaque.png 40 30 2
convert -size 40x30 xc:black +antialias -fill white -draw 'circle 20,15 20,2' disc.png
convert b-opaque.png disc.png -alpha off -compose CopyOpacity -composite PNG32:b.png
# c: twelve colours, the first twelve of the palette.
convert palette.png -crop 12x1+0+0 +repage few.png
picture c.png 33 17 4 few.png

for store in auto none lzss bits bits4; do
  "$vektool" sprite a.png c.png --palette palette.png --store $store -o raw-$store.obj
  "$vektool" sprite b.png a.png --rle --palette palette.png --store ${store/bits4/bits} -o rle-$store.obj
  "$vektool" extract raw-$store.obj -o out-$store --palette palette.png
  "$vektool" extract rle-$store.obj -o out-$store --palette palette.png
  same_picture a.png out-$store/raw-$store-000.png
  same_picture c.png out-$store/raw-$store-001.png
  same_picture b.png out-$store/rle-$store-000.png
  same_picture a.png out-$store/rle-$store-001.png
done
[ "$(stat -c %s raw-auto.obj)" -le "$(stat -c %s raw-lzss.obj)" ] || fail "auto is longer than lzss"
[ "$(stat -c %s raw-auto.obj)" -le "$(stat -c %s raw-bits.obj)" ] || fail "auto is longer than bits"

# info: the objects, their methods and what they hold.
"$vektool" info --json raw-bits4.obj rle-none.obj > info.json
jq -e '.[0].type == "object file" and .[0].layout == "objects with headers" and .[0].count == 2' info.json > /dev/null ||
  fail "info: $(cat info.json)"
jq -e '.[0].objects[0] | .content == "raw image" and .width == 37 and .height == 23 and .method == "bits"' info.json > /dev/null ||
  fail "info of a (more than 16 colours: bits): $(cat info.json)"
jq -e '.[0].objects[1] | .method == "bits4" and .offset > 0 and .total > .stored' info.json > /dev/null ||
  fail "info of c (12 colours: bits4): $(cat info.json)"
jq -e '.[1].objects[0] | .content == "RLE image" and .flags == "mirror-enable" and .method == "none"' info.json > /dev/null ||
  fail "info of b: $(cat info.json)"
"$vektool" info raw-auto.obj | grep -q "raw image" || fail "info as text"

# Mirrored copies follow their images.
"$vektool" sprite b.png a.png --rle --mirror --palette palette.png -o mirror-rle.obj
"$vektool" sprite a.png --mirror --palette palette.png -o mirror-raw.obj
"$vektool" extract mirror-rle.obj -o mirrored --palette palette.png
"$vektool" extract mirror-raw.obj -o mirrored --palette palette.png
convert b.png -flop b-flop.png && convert a.png -flop a-flop.png
same_picture b.png mirrored/mirror-rle-000.png
same_picture b-flop.png mirrored/mirror-rle-001.png
same_picture a-flop.png mirrored/mirror-rle-003.png
same_picture a-flop.png mirrored/mirror-raw-001.png

# Without --palette the first image's own is the palette.
picture d.png 33 17 4 a.png
"$vektool" sprite a.png d.png -o own.obj
"$vektool" extract own.obj -o own --palette a.png
same_picture a.png own/own-000.png
same_picture d.png own/own-001.png

# A transparent colour given as a colour.
corner=$(convert a.png -format '%[fx:int(255*p{0,0}.r)],%[fx:int(255*p{0,0}.g)],%[fx:int(255*p{0,0}.b)]' info:)
"$vektool" sprite a.png --rle --transparent "$corner" --palette palette.png -o keyed.obj
"$vektool" extract keyed.obj -o keyed --palette palette.png
convert a.png -transparent "rgb($corner)" a-keyed.png
same_picture a-keyed.png keyed/keyed-000.png

# Standard input and output give the same file as named files.
"$vektool" sprite - --palette palette.png -o - < a.png > piped.obj
"$vektool" sprite a.png --palette palette.png -o named.obj
cmp piped.obj named.obj || fail "sprite through - differs"
"$vektool" info - < named.obj | grep -q "standard input" || fail "info of standard input"

# Colours the palette lacks are matched (dithered or not) onto it.
for dither in "" --dither; do
  "$vektool" sprite a.png --palette few.png $dither -o matched.obj
  "$vektool" extract matched.obj -o matched --palette few.png
  [ "$(convert matched/matched-000.png -unique-colors -format '%w' info:)" -le 12 ] || fail "matched $dither: colours outside the palette"
done

# render: all images on one sheet, the first in the top-left cell.
"$vektool" render rle-auto.obj -o sheet.png --palette palette.png --columns 1 --gap 3
[ "$(identify -format '%wx%h' sheet.png)" = "40x63" ] || fail "sheet size $(identify -format '%wx%h' sheet.png)"
convert sheet.png -crop 40x30+0+0 +repage cell.png
same_picture b.png cell.png
echo ok
