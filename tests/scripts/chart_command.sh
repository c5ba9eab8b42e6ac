#!/usr/bin/env bash
# kmwb chart / kmwb matrices: field counts of the --tsv lines, a batch
# with bad lines (named on standard error, an empty output line each, the
# run going on), and the numbers of a known moment.
# Usage: chart_command.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

moment="2000 1 1 12 0 0 0 0 10 0 50 0"
"$kmwb" chart --tsv $moment > chart.tsv
check "chart --tsv gives 41 fields" '[ "$(awk -F"\t" "{print NF}" chart.tsv)" = 41 ]'
check "the JD field is 2451545" '[ "$(cut -f40 chart.tsv)" = 2451545.000000000 ]'
check "the Sun is near 280.38" 'awk -F"\t" "{exit !(\$1 > 280.37 && \$1 < 280.39)}" chart.tsv'

"$kmwb" matrices --order 5 --tsv $moment > m.tsv
check "matrices --tsv gives 363 fields" '[ "$(awk -F"\t" "{print NF}" m.tsv)" = 363 ]'
check "H[10][10] is 0" '[ "$(cut -f121 m.tsv)" = 0.000000000 ]'
"$kmwb" matrices --fixed $moment > m.txt
check "readable matrices name H, I and D" 'grep -q "^H (harmony)" m.txt && grep -q "^I (energy)" m.txt && grep -q "^D (dynamic)" m.txt'

printf '%s\nnot a moment\n2001 2 29 0 0 0 0 0 0 0 0 0\n%s\n' "$moment" "$moment" |
  "$kmwb" chart --tsv --batch > batch.tsv 2> batch.err
rc=$?
check "a batch with bad lines exits 1" '[ $rc = 1 ]'
check "one output line per input line" '[ "$(wc -l < batch.tsv)" = 4 ]'
check "bad lines leave empty lines" '[ -z "$(sed -n 2p batch.tsv)" ] && [ -z "$(sed -n 3p batch.tsv)" ]'
check "good lines match the single command" '[ "$(sed -n 1p batch.tsv)" = "$(cat chart.tsv)" ] && [ "$(sed -n 4p batch.tsv)" = "$(cat chart.tsv)" ]'
check "the message names line 2" 'grep -q "line 2: " batch.err'
check "the message names line 3" 'grep -q "line 3: day 29 is past the end of month 2" batch.err'

"$kmwb" matrices --order 13 $moment > /dev/null 2> usage.err
check "an order of 13 is a usage error" '[ $? = 2 ] && grep -q "order from 1 to 12" usage.err'

# A thousand moments through the pipe, with matrices.
awk 'BEGIN { for (i = 0; i < 1000; i++) printf "%d %d %d %d %d 0 1 %d 10 0 50 0\n", 1900 + i % 200, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i % 2 }' |
  "$kmwb" matrices --order 3 --tsv --batch > many.tsv
check "a thousand lines of 363 fields" '[ "$(awk -F"\t" "NF == 363" many.tsv | wc -l)" = 1000 ]'

exit $fail
