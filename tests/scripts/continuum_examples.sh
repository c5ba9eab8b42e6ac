#!/usr/bin/env bash
# The continuum's example batches run through kmwb: the working files they
# leave, the four tables on text page 1, the same random moments for the
# same seed.
# Usage: continuum_examples.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

"$kmwb" --batch "$source/examples/continuum.kmwb" --out even > even.log 2>&1
check "the even batch succeeds" '[ $? -eq 0 ] || { cat even.log; false; }'
check "datdat.txt: without IC, 10 members" '[ "$(cat datdat.txt)" = "$(printf "9\n10")" ]'
check "datplanet.txt: 10 lines, the Sun 2.750100" '[ "$(wc -l < datplanet.txt)" = 10 ] && [ "$(head -1 datplanet.txt)" = 2.750100 ]'
check "four tables on text 1" '[ "$(grep -c -E "^(Principle|Prinzip:)" even/text-1.txt)" = 4 ]'
check "no compare group for 20000 moments" '[ ! -e Optimierung-COMPARE ]'
check "no carriage returns in the working files" '! grep -l $'"'"'\r'"'"' *.txt'

mkdir a b
(cd a && "$kmwb" --batch "$source/examples/continuum-random.kmwb" --out out --seed 7 > log 2>&1)
(cd b && "$kmwb" --batch "$source/examples/continuum-random.kmwb" --out out --seed 7 > log 2>&1)
check "500 random moments kept" '[ "$(wc -l < a/Optimierung-COMPARE/bjuliandat.txt)" = 500 ]'
check "the same seed draws the same moments" 'cmp -s a/Optimierung-COMPARE/bjuliandat.txt b/Optimierung-COMPARE/bjuliandat.txt'
check "the same seed gives the same means" 'cmp -s a/matrixsumcontinuum.txt b/matrixsumcontinuum.txt'
exit $fail
