#!/usr/bin/env bash
# The ephemeris choice on the command line and in the environment: kmwb
# chart --ephemeris precise and --compare, KMWB_EPHEMERIS, the refusal of
# an unknown name, and the batch run's line beside its seed.
# Usage: ephemeris_choice.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

moment="2000 1 1 12 0 0 0 0 10 0 50 0"
"$kmwb" chart --tsv $moment > classic.tsv
"$kmwb" chart --tsv --ephemeris classic $moment > classic2.tsv
"$kmwb" chart --tsv --ephemeris precise $moment > precise.tsv
KMWB_EPHEMERIS=precise "$kmwb" chart --tsv $moment > precise-env.tsv
check "--ephemeris classic is the default" 'cmp -s classic.tsv classic2.tsv'
check "the precise chart is another one" '! cmp -s classic.tsv precise.tsv'
check "KMWB_EPHEMERIS=precise gives the precise chart" 'cmp -s precise.tsv precise-env.tsv'
check "the apparent Sun is near 280.369" 'awk -F"\t" "{exit !(\$1 > 280.368 && \$1 < 280.370)}" precise.tsv'
check "the same Julian date" '[ "$(cut -f40 precise.tsv)" = 2451545.000000000 ]'
KMWB_EPHEMERIS=precise "$kmwb" chart --tsv --ephemeris classic $moment > override.tsv
check "the command line before the environment" 'cmp -s classic.tsv override.tsv'

"$kmwb" chart --compare $moment > compare.txt
check "the comparison lists 14 rows" '[ "$(grep -cE "^(sun|moon|mercury|venus|mars|jupiter|saturn|uranus|neptun|pluto|IC|AC|MC|node) " compare.txt)" = 14 ]'
sun_classic=$(cut -f1 classic.tsv); sun_precise=$(cut -f1 precise.tsv)
check "the Sun's difference in arc minutes" \
  'awk -v c="$sun_classic" -v p="$sun_precise" "/^sun /{d = (p - c) * 60; exit !(\$4 - d < 0.001 && d - \$4 < 0.001)}" compare.txt'

"$kmwb" chart --ephemeris jpl $moment > /dev/null 2> bad.err
check "an unknown ephemeris is a usage error" '[ $? = 2 ] && grep -q "classic or precise" bad.err'
KMWB_EPHEMERIS=jpl "$kmwb" chart $moment > /dev/null 2> badenv.err
check "an unknown KMWB_EPHEMERIS is refused" '[ $? = 2 ] && grep -q "KMWB_EPHEMERIS" badenv.err'
"$kmwb" chart --compare --tsv $moment > /dev/null 2>&1
check "--compare with --tsv is a usage error" '[ $? = 2 ]'

cp "$source"/examples/julian-date.kmwb .
"$kmwb" --headless --batch julian-date.kmwb --out res --seed 7 --ephemeris precise > /dev/null 2> batch.err
check "a precise batch run" '[ $? = 0 ]'
check "its ephemeris beside the seed" 'grep -A1 "random seed 7" batch.err | grep -q "kmwb: ephemeris precise"'
check "and in qzk.log" 'grep -q "ephemeris in use: precise" qzk.log'
"$kmwb" --headless --batch julian-date.kmwb --out res --ephemeris moshier > /dev/null 2> batchbad.err
check "a batch run refuses an unknown ephemeris" '[ $? = 2 ] && grep -q "classic or precise" batchbad.err'
exit $fail
