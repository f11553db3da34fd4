# Shared by the vektool test scripts, which run the installed vektool as a
# user would. Each script is called as: SCRIPT VEKTOOL WORK; it works in a
# fresh WORK folder and fails on the first check that does not hold.
set -euo pipefail
vektool=$1 work=$2
data=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/data
rm -rf "$work" && mkdir -p "$work" && cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# same_picture A B: the pictures have the same size and pixels, colour and
# alpha (fully transparent pixels compare equal whatever colour they keep).
same_picture() {
  local a b diff
  a=$(convert "$1" -background black -alpha background -depth 8 rgba:- | md5sum)
  b=$(convert "$2" -background black -alpha background -depth 8 rgba:- | md5sum)
  [ "$(identify -format '%wx%h' "$1")" = "$(identify -format '%wx%h' "$2")" ] || fail "$1 and $2 differ in size"
  [ "$a" = "$b" ] || { diff=$(compare -metric AE "$1" "$2" null: 2>&1 || true); fail "$1 and $2 differ in $diff pixels"; }
}

# fails_with STATUS FILE-NAMED OUTPUT -- COMMAND...: COMMAND exits with
# STATUS, says "vektool: FILE-NAMED:" on standard error, and leaves neither
# OUTPUT nor a temporary file of it behind.
fails_with() {
  local status=$1 named=$2 output=$3 got=0
  shift 4
  "$@" > stdout.txt 2> stderr.txt || got=$?
  [ "$got" = "$status" ] || fail "$* exited $got, not $status: $(cat stderr.txt)"
  [ -z "$named" ] || grep -qF "vektool: $named:" stderr.txt || fail "$* did not name $named: $(cat stderr.txt)"
  [ -z "$output" ] || [ ! -e "$output" ] || fail "$* left $output behind"
  ! ls -a | grep -q '\.vektool-' || fail "$* left a temporary file: $(ls -a)"
}

# A palette of 256 colours and pictures whose colours all come from it.
make_palette() {
  convert -seed 3 -size 64x64 plasma: -colors 256 +dither PNG8:palette.png
}
# picture NAME WIDTH HEIGHT SEED [COLOURS-FROM]: an opaque picture.
picture() {
  convert -seed "$4" -size "$2x$3" plasma: +dither -remap "${5:-palette.png}" "$1"
}
