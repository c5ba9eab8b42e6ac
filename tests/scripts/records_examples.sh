#!/usr/bin/env bash
# The research records of example batches, checked by Python's json and
# csv modules: every module's manifest lists every answer of the script;
# each module's replay, run in turn in a fresh copy of the examples with
# its manifest's seed, finds the inputs the manifest names and writes the
# working files it names, byte for byte; the CSV tables hold the values of
# the working files and pages; the whole batch's replay gives the same
# working files. Then --force and --help.
# Usage: records_examples.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
python=/usr/bin/python3
if [ ! -x $python ]; then
  echo "skipped: python3 (Debian python3) reads the records"
  exit 77
fi
records_check="$python $source/tests/scripts/lib/records_check.py"
seed_of() { $python -c "import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])" "$1" "$2"; }
fresh() { mkdir -p "$1" && cp -r "$source"/assets/* "$source"/examples/* "$1"/; }

for script in demo events-lists continuum-random; do
  run=$work/$script
  fresh "$run/orig"
  (cd "$run/orig" && "$kmwb" --batch $script.kmwb --out res --seed 7 > log 2>&1)
  check "$script.kmwb succeeds" '[ $? -eq 0 ] || { cat "$run/orig/log"; false; }'
  check "$script: the manifests list every answer" "(cd '$run/orig' && $records_check answers $script.kmwb res)"

  # Module by module: the replays in a copy that starts as the examples.
  fresh "$run/chain"
  cp -r "$run/orig/res" "$run/chain/res"  # the record folders, for the person files they keep
  for dir in "$run"/orig/res/[0-9][0-9]*/; do
    name=$(basename "$dir")
    check "$script $name: the inputs are those the record names" \
      "(cd '$run/orig' && $records_check files res $name ../chain inputs)"
    seed=$(seed_of "$dir/manifest.json" seed)
    (cd "$run/chain" && "$kmwb" --batch res/$name/replay.kmwb --seed "$seed" --out replay-$name > replay-$name.log 2>&1)
    check "$script $name: the replay runs" '[ $? -eq 0 ] || { cat "$run/chain/replay-$name.log"; false; }'
    check "$script $name: the replay writes the recorded working files" \
      "(cd '$run/orig' && $records_check files res $name ../chain outputs)"
    mkdir -p "$run/snaps/$name"
    find "$run/chain" -maxdepth 1 \( -name '*.txt' -o -name '*.csv' \) -exec cp {} "$run/snaps/$name/" \;
  done
  case $script in
    demo) tables="continuum,event analysis,matrix probability,fluctuations,resonance" ;;
    events-lists) tables="continuum,event analysis" ;;
    *) tables="continuum" ;;
  esac
  check "$script: the tables hold the files' and pages' values" \
    "(cd '$run/orig' && $records_check tables res ../snaps '$tables')"

  # The whole script again from its replay and the run's seed.
  fresh "$run/whole"
  cp -r "$run/orig/res" "$run/whole/res"
  seed=$(seed_of "$run/orig/res/01-"*/manifest.json run_seed)
  (cd "$run/whole" && "$kmwb" --batch res/replay.kmwb --seed "$seed" --out again > again.log 2>&1)
  check "$script: the batch's replay runs" '[ $? -eq 0 ] || { cat "$run/whole/again.log"; false; }'
  check "$script: the batch's replay gives the same working files" \
    "diff -r -q -x res -x again -x 'qzk.log' -x log -x again.log '$run/orig' '$run/whole'"
done

# An --out folder that holds a record: stopped without --force, replaced with it.
cd "$work/demo/orig" || exit 1
before=$(find res -type f | wc -l)
"$kmwb" --batch julian-date.kmwb --out res --seed 1 > force.log 2>&1
status=$?
check "a folder with an earlier record stops the run (status 2)" '[ $status -eq 2 ]'
check "the message names --force" 'grep -q "holds the record of an earlier run.*--force" force.log'
check "and the earlier record is untouched" '[ "$(find res -type f | wc -l)" = "$before" ] && [ -d res/08-0-WELCOME ]'
"$kmwb" --batch julian-date.kmwb --out res --seed 1 --force > force.log 2>&1
check "--force replaces it" '[ $? -eq 0 ] && [ -f res/01-17-Julian-Date/manifest.json ] && [ ! -e res/02-1-Statistics-1-Continuum ] && [ ! -e res/graphic-3.png ]'

# A module that ends early (the examples hold no continuum files) leaves
# its record too, saying why.
fresh "$work/early"
cd "$work/early" || exit 1
printf 'run 2- Event Analysis\nHas the continuum run before -> yes\n' > early.kmwb
"$kmwb" --batch early.kmwb --out res > early.log 2>&1
status=$?
check "the early end stops the batch (status 4)" '[ $status -eq 4 ] || { cat early.log; false; }'
check "its record names the outcome and the missing file" "$python - <<'PY'
import json
m = json.load(open('res/01-2-Event-Analysis/manifest.json'))
assert m['outcome'] == 'ended early', m['outcome']
assert any('matrixsumcontinuum.txt not exist' in t for t in m['messages']), m['messages']
assert [a['answer'] for a in m['answers']] == ['yes'], m['answers']
assert open('res/replay.kmwb').read().count('run 2- Event Analysis') == 1
PY"
cd "$work/demo/orig" || exit 1

"$kmwb" --help > help.txt 2>&1
check "--help succeeds" '[ $? -eq 0 ]'
for word in "kmwb chart" "kmwb matrices" "kmwb place" "kmwb zone" --batch --out --seed --threads --headless --scale --bmp --force; do
  check "--help names $word" "grep -q -- '$word' help.txt"
done
exit $fail
