#!/usr/bin/env bash
# The picture command: sizes, conversions between every format, and a
# clear failure for files it cannot read.
set -u
build=$1
pic="$build/tools/qzkpic"
[ -x "$pic" ] || { echo "qzkpic not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

# A 3 x 2 picture as a plain PPM, made here byte by byte.
printf 'P6\n3 2\n255\n' > in.ppm
printf '\377\000\000\000\377\000\000\000\377\001\002\003\200\200\200\376\375\374' >> in.ppm

[ "$("$pic" info in.ppm)" = "3 2" ] || fail "info of in.ppm"
for ext in bmp pcx ppm png xpm; do
  "$pic" convert in.ppm "out.$ext" || fail "convert to $ext"
  [ -s "out.$ext" ] || fail "out.$ext empty"
done
for ext in bmp pcx; do
  [ "$("$pic" info "out.$ext")" = "3 2" ] || fail "info of out.$ext"
  "$pic" convert "out.$ext" "back.$ext.ppm" || fail "convert back from $ext"
  cmp -s in.ppm "back.$ext.ppm" || fail "pixels changed through $ext"
done
head -c 20 in.ppm > cut.ppm
if "$pic" convert cut.ppm x.bmp 2> err.txt; then fail "truncated input accepted"; fi
grep -q "cut.ppm" err.txt || fail "no message naming the file"
[ -e x.bmp ] && fail "output written for bad input"
if "$pic" convert missing.bmp x.png 2> err.txt; then fail "missing input accepted"; fi
grep -q "missing.bmp" err.txt || fail "no message for a missing file"
if "$pic" info out.png 2> /dev/null; then fail "size of a PNG claimed"; fi
if "$pic" convert in.ppm out.jpg 2> /dev/null; then fail "jpg output accepted"; fi
if "$pic" 2> /dev/null; then fail "no arguments accepted"; fi
echo "qzkpic ok"
