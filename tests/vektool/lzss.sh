#!/usr/bin/env bash
# vektool lzss: files through the library's LZSS codec and back, with and
# without the 8-byte header of sizes, through standard input and output; the
# streams are the codec's, bit for bit.
source "$(dirname "$0")/common.sh"

: > empty
printf 'abc' > abc
seq 1 20000 > numbers
head -c 70000 /dev/urandom > noise
head -c 2000000 "$vektool" > program
for f in empty abc numbers noise program; do
  "$vektool" lzss c $f $f.lz
  "$vektool" lzss d $f.lz $f.back
  cmp $f $f.back || fail "$f does not come back"
  "$vektool" lzss c --raw $f $f.raw
  "$vektool" lzss d --raw --size "$(stat -c %s $f)" $f.raw $f.back-raw
  cmp $f $f.back-raw || fail "$f does not come back from the bare stream"
  cmp <(tail -c +9 $f.lz) $f.raw || fail "$f: the file's stream is not the bare stream"
done
[ "$(stat -c %s numbers.lz)" -lt "$(( $(stat -c %s numbers) * 3 / 4 ))" ] || fail "numbers do not compress"

# The codec's own streams: three literals; three literals and a pair that
# repeats them from ring position 4078.
[ "$("$vektool" lzss c --raw - - < abc | od -An -tx1 | tr -d ' \n')" = "07616263" ] || fail "the stream of abc"
[ "$(printf abcabcabc | "$vektool" lzss c --raw - - | od -An -tx1 | tr -d ' \n')" = "07616263eef3" ] ||
  fail "the stream of abcabcabc"
"$vektool" info numbers.lz | grep -q "compressed file" || fail "info of a compressed file"
"$vektool" lzss c - - < numbers | "$vektool" lzss d - - | cmp - numbers || fail "through standard input and output"
echo ok
