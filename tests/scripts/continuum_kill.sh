#!/usr/bin/env bash
# The continuum killed at random instants of its run: after each kill, and
# the next start of the workbench, the working files are the whole set of
# the run before or the whole set of the killed run, never a mix, and no
# temporary file or journal is left.
# Usage: continuum_kill.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

continuum() {  # order, IC yes/no, self-correlation yes/no, moments
  cat <<END
run 1- Statistics 1 - Continuum
Order of the correlation -> $1
with IC -> $2
Members of the group -> 8
Should planets be selected -> no
Should the planets get a weight -> yes
weight of gravity -> 2
gravity planets -> - - - - - - - - - - -
Should self-correlations -> $3
Enter start-date -> 1.1.1900 0:00
Enter end-date -> 1.1.2000 0:00
* Number per interval -> $4
Selection accidental -> no
END
}
continuum 3 no no 5000 > old.kmwb
continuum 12 yes yes 150000 > new.kmwb
# A script the workbench refuses at once: a start, nothing else.
printf 'run no such module\n' > start.kmwb

sums() { (cd "$1" && md5sum -- *.txt | sort -k2); }

mkdir old new
(cd old && "$kmwb" --headless --batch ../old.kmwb --out res > log 2>&1) || { cat old/log; exit 1; }
start=$(date +%s%N)
(cd new && "$kmwb" --headless --batch ../new.kmwb --out res > log 2>&1) || { cat new/log; exit 1; }
span=$(( ($(date +%s%N) - start) / 1000 ))  # microseconds
rm -rf old/res old/log old/qzk.log new/res new/log new/qzk.log
sums old > old.sums
sums new > new.sums
check "the two sets differ" '! cmp -s old.sums new.sums'
check "both sets hold the same files" '[ "$(cut -c35- old.sums)" = "$(cut -c35- new.sums)" ]'

kills=44 oldSeen=0 newSeen=0 mixed=0 left=0
for ((i = 0; i < kills; ++i)); do
  # Half the instants anywhere in the run, half in its last fifth, where
  # the tables are made and the files written.
  r=$(( (RANDOM * 32768 + RANDOM) % 1000000 ))
  if (( i % 2 )); then at=$(( span * 11 / 10 * r / 1000000 )); else at=$(( span * 8 / 10 + span * 3 / 10 * r / 1000000 )); fi
  rm -rf k && cp -r old k
  (cd k && exec "$kmwb" --headless --batch ../new.kmwb --out res > log 2>&1) &
  pid=$!
  sleep "$(printf '%d.%06d' $((at / 1000000)) $((at % 1000000)))"
  kill -KILL $pid 2> /dev/null
  wait $pid 2> /dev/null
  (cd k && "$kmwb" --headless --batch ../start.kmwb --out res > /dev/null 2>&1)
  rm -rf k/res k/log k/qzk.log
  if ls k | grep -q -E '\.new$|journal'; then left=$((left + 1)); fi
  sums k > k.sums
  if cmp -s k.sums old.sums; then oldSeen=$((oldSeen + 1))
  elif cmp -s k.sums new.sums; then newSeen=$((newSeen + 1))
  else mixed=$((mixed + 1)); echo "kill $i at ${at} us:"; diff old.sums k.sums | head -5
  fi
done
echo "$kills kills over a run of $span us: $oldSeen left the old set, $newSeen the new one, $mixed a mix"
check "no kill leaves a mix of the two sets" '[ $mixed -eq 0 ]'
check "no temporary file or journal is left" '[ $left -eq 0 ]'
check "every kill was checked" '[ $((oldSeen + newSeen + mixed)) -eq $kills ]'
exit $fail
