#!/usr/bin/env bash
# Times vektool on a game's worth of sprites: 1000 PNG files of 64 x 64
# pixels (tiles of one plasma picture, 256 colours) into one object file,
# raw with the storage method chosen per image and as RLE cels, and the
# object files extracted again as PNG files; checks that a sample comes back.
#   bench/vektool.sh [VEKTOOL] [WORK]
# Default VEKTOOL: build/default/tools/vektool; WORK: a temporary folder.
set -euo pipefail
vektool=$(realpath "${1:-build/default/tools/vektool}")
work=${2:-$(mktemp -d)}
mkdir -p "$work" && cd "$work"
export VEKHOST_PREFIX=$work/prefix

convert -seed 9 -size 2048x2048 plasma: -colors 256 +dither PNG8:sheet.png
rm -rf tiles && mkdir tiles
convert sheet.png -crop 64x64 +repage PNG8:tiles/%04d.png
rm -f tiles/10[0-9][0-9].png   # 1000 of the 1024 tiles
[ "$(ls tiles | wc -l)" = 1000 ]

seconds() { local start=$EPOCHREALTIME; "$@" > /dev/null; awk "BEGIN { print $EPOCHREALTIME - $start }"; }
printf '%-44s %8s %10s\n' "step" "seconds" "bytes"
row() { printf '%-44s %8.2f %10s\n' "$1" "$2" "${3:-}"; }
row "sprite: 1000 PNG -> raw, --store auto" "$(seconds "$vektool" sprite tiles/*.png --palette sheet.png -o raw.obj)" "$(stat -c %s raw.obj)"
row "sprite: 1000 PNG -> raw, --store lzss" "$(seconds "$vektool" sprite tiles/*.png --palette sheet.png --store lzss -o lzss.obj)" "$(stat -c %s lzss.obj)"
row "sprite: 1000 PNG -> RLE cels, --store auto" "$(seconds "$vektool" sprite tiles/*.png --rle --palette sheet.png -o rle.obj)" "$(stat -c %s rle.obj)"
row "extract: raw object file -> 1000 PNG" "$(seconds "$vektool" extract raw.obj -o raw --palette sheet.png)"
row "extract: RLE object file -> 1000 PNG" "$(seconds "$vektool" extract rle.obj -o rle --palette sheet.png)"
row "info: 1000 objects" "$(seconds "$vektool" info raw.obj)"
for i in 0000 0421 0999; do
  n=$(printf %03d $((10#$i)))
  cmp <(convert tiles/$i.png rgba:-) <(convert raw/raw-$n.png rgba:-)
  cmp <(convert tiles/$i.png rgba:-) <(convert rle/rle-$n.png rgba:-)
done
echo "sample tiles come back unchanged; files in $work"
