#!/usr/bin/env bash
# The matrix probability's example batch (continuum, event analysis,
# matrix probability) run through kmwb in copies of examples/: the results
# it leaves, and the same files for the same --seed, other ones for another.
# Usage: probability_example.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"

for run in a b c; do
  cp -r "$source/examples" "$work/$run"
done
seed() { case $1 in c) echo 8 ;; *) echo 7 ;; esac; }
for run in a b c; do
  (cd "$work/$run" && "$kmwb" --batch probability.kmwb --out out --seed "$(seed $run)" > log 2>&1)
  check "run $run succeeds" '[ $? -eq 0 ] || { cat "$work/$run/log"; false; }'
done

cd "$work/a" || exit 1
check "four significance files of 11 rows of 12 marks" \
  'for f in significanceh.txt significancei.txt significanced.txt significanceda.txt; do [ "$(wc -l < $f)" = 132 ] || exit 1; done'
check "marks are 0, 1 or 2" '! grep -v -x -E "[012]" significance*.txt'
check "the period entered is kept" '[ "$(cat startendyear.txt)" = "$(printf "1900\n2000\n1\n1\n1\n1")" ]'
check "four sections on text 3" '[ "$(grep -c "of the probability of error:" out/text-3.txt)" = 4 ]'
check "the control groups ran" 'grep -q "ENDE G" out/text-6.txt'
check "four bar charts saved" 'for f in group-H.bmp group-I.bmp group-D.bmp group-DA.bmp; do [ -s $f ] || exit 1; done'
check "graphic pages 1 to 6 drawn" 'for k in 1 2 3 4 5 6; do [ -s out/graphic-$k.png ] || exit 1; done'
check "cells.csv: a header and 532 values, CR LF" \
  '[ "$(wc -l < cells.csv)" = 533 ] && [ "$(grep -c $'"'"'\r$'"'"' cells.csv)" = 533 ]'
check "cells.csv: 264 values in the family" '[ "$(tr -d "\r" < cells.csv | grep -c ",1$")" = 264 ]'
check "the section beyond chance after the tables" 'grep -q "Cells tested: 264 " out/text-3.txt'
check "pvalues.png is a PNG" 'head -c 4 pvalues.png | grep -q PNG'

cd "$work" || exit 1
for f in significanceh.txt significancei.txt significanced.txt significanceda.txt group-H.bmp group-DA.bmp out/text-3.txt cells.csv pvalues.png; do
  check "the same seed gives the same $f" 'cmp -s a/$f b/$f'
done
check "another seed other percentages" '! cmp -s a/out/text-3.txt c/out/text-3.txt'
exit $fail
