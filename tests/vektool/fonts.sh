#!/usr/bin/env bash
# A BDF font into a raster font file, and a string drawn with it by the
# library: the picture is the one the BDF's glyphs make, drawn by hand in
# data/tiny-text.pbm (glyphs above and below the baseline, a left bearing,
# and a code the font lacks drawn as its default character).
source "$(dirname "$0")/common.sh"

"$vektool" font "$data/tiny.bdf" -o tiny.fnt
"$vektool" info --json tiny.fnt > info.json
jq -e '.[0] | .type == "raster font" and .version == "3.00" and .height == 8 and .face == "Tiny"' info.json > /dev/null ||
  fail "info: $(cat info.json)"
jq -e '.[0] | ."first character" == 63 and ."last character" == 103 and ."default character" == 63' info.json > /dev/null ||
  fail "character range: $(cat info.json)"

"$vektool" text tiny.fnt "Abg?x" --margin 0 -o text.png
pixels() { grep -v '^#' | tr -d ' \n'; }
[ "$(convert text.png -compress none pbm:- | pixels)" = "$(pixels < "$data/tiny-text.pbm")" ] ||
  fail "the text differs from the glyphs: $(convert text.png -compress none pbm:-)"

# Through standard input and output; the margin and colours as asked.
"$vektool" font - -o - < "$data/tiny.bdf" | cmp - tiny.fnt || fail "font through - differs"
"$vektool" text - "Ab" --colour 255,0,0 --background none -o - < tiny.fnt > red.png
[ "$(identify -format '%wx%h' red.png)" = "15x12" ] || fail "size with margins: $(identify -format '%wx%h' red.png)"
[ "$(convert red.png -format '%[fx:255*p{3,2}.r],%[fx:255*p{3,2}.g],%[fx:255*p{3,2}.b],%[fx:p{3,2}.a]' info:)" = "255,0,0,1" ] ||
  fail "ink colour"
[ "$(convert red.png -format '%[fx:p{0,0}.a]' info:)" = "0" ] || fail "transparent background"
echo ok
