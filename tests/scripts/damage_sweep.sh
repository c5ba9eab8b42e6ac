#!/usr/bin/env bash
# Every working file the event analysis and the matrix probability read,
# damaged eight ways (missing, empty, cut mid-line, text, NaN, huge, a
# FIFO, a folder), one batch run each. Each run must end within its time
# limit, without a crash, with exit status 0 (the module went on, with a
# warning naming the file) or 4 (the module ended early, naming the file
# on standard error), 4 wherever no value can be read; a module that ended
# early leaves every other working file as it was.
# Usage: damage_sweep.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

mkdir base
cp -r "$source"/examples/* base/
cat > chain.kmwb <<'END'
run 1- Statistics 1 - Continuum
Order of the correlation -> 3
with IC -> yes
Members of the group -> 8
Should planets be selected -> no
Should the planets get a weight -> yes
weight of gravity -> 2
gravity planets -> - - - - - - - - - - -
Should self-correlations -> no
Enter start-date -> 1.1.1900 0:00
Enter end-date -> 1.1.2000 0:00
* Number per interval -> 2000
Selection accidental -> no
END
sed -n '/^run 2/,$p' "$source/examples/events.kmwb" > events.kmwb
cat > probability.kmwb <<'END'
run 4- Matrix Probability
Enter start-date -> 1.1.1900 0:00
Enter end-date -> 1.1.2000 0:00
NUMBER OF THE GROUPS? -> 20
END
(cd base && "$kmwb" --headless --batch ../chain.kmwb --out res > log 2>&1) || { cat base/log; exit 1; }
(cd base && "$kmwb" --headless --batch ../events.kmwb --out res-events > log 2>&1) || { cat base/log; exit 1; }
rm -rf base/res base/res-events base/log base/qzk.log

events="matrixsumcontinuum datintervt datord selfkorr mscontinuum datdat zshcontinuum zsicontinuum
        zsdcontinuum zsdacontinuum datplanet"
probability="matrixsumevent datdat datord selfkorr dattimeshifth dattimeshiftd zsummh zsummi zsummd
             zsumm da startendyear eventsdat datplanet dath dati datz data"
probability=${probability/zsumm da/zsummda}

# The names a message may give a file: its own, or its module's spelling.
names() {
  case $1 in
    zshcontinuum) echo 'zshcontinuum\.txt|zshcontimuum\.txt' ;;
    selfkorr) echo 'selfkorr\.txt|dselfkorr\.txt' ;;
    dattimeshifth) echo 'dattimeshifth\.txt|dattimedhift\.txt' ;;
    eventsdat) echo 'eventsdat\.txt|events\.txt' ;;
    *) echo "$1\\.txt" ;;
  esac
}

damage() {  # kind, file
  case $1 in
    missing) rm -f "$2" ;;
    empty) : > "$2" ;;
    cut)  # half the bytes, and never at a line end
      local n=$(( $(wc -c < "$2") / 2 ))
      (( n > 0 )) || n=1
      [ "$(head -c $n "$2" | tail -c 1 | od -An -c | tr -d ' ')" = '\n' ] && n=$((n - 1))
      head -c $n "$2" > cut && mv cut "$2" ;;
    text) sed 's/.*/garbage/' "$2" > t && mv t "$2" ;;
    nan) sed 's/.*/nan/' "$2" > t && mv t "$2" ;;
    huge) sed 's/.*/1e300/' "$2" > t && mv t "$2" ;;
    fifo) rm -f "$2" && mkfifo "$2" ;;
    folder) rm -f "$2" && mkdir "$2" ;;
  esac
}

sums() { (cd "$1" && for f in *.txt; do [ -f "$f" ] && [ "$f" != "$2" ] && md5sum -- "$f"; done); }

runs=0 bad=0
sweep() {  # script, files
  local script=$1 file kind rc pattern
  for file in $2; do
    for kind in missing empty cut text nan huge fifo folder; do
      runs=$((runs + 1))
      rm -rf case && cp -r base case
      (cd case && damage $kind $file.txt)
      sums case $file.txt > before
      (cd case && exec timeout 60 "$kmwb" --headless --batch ../$script --out res > log 2>&1)
      rc=$?
      pattern=$(names $file)
      problem=""
      if [ $rc -eq 124 ]; then problem="no end within 60 s"
      elif [ $rc -ge 128 ]; then problem="crashed (status $rc)"
      elif [ $rc -ne 0 ] && [ $rc -ne 4 ]; then problem="exit status $rc"
      else
        case $kind in missing|nan|huge|fifo|folder) [ $rc -eq 4 ] || problem="went on (status $rc)" ;; esac
        if [ $rc -eq 4 ]; then
          grep -q -E "ended early: .*($pattern)" case/log || problem="$problem; the early end does not name the file"
          sums case $file.txt | cmp -s - before || problem="$problem; other working files changed"
        elif ! cat case/res/*.txt 2> /dev/null | grep -q -E "WARNING: ($pattern)"; then
          problem="$problem; no warning names the file"
        fi
        if ls case | grep -q -E '\.new$|journal'; then problem="$problem; a temporary file is left"; fi
      fi
      if [ -n "$problem" ]; then
        bad=$((bad + 1))
        echo "FAIL: $script, $file.txt $kind: $problem"
        tail -3 case/log
      fi
    done
  done
}
sweep events.kmwb "$events"
sweep probability.kmwb "$probability"
echo "$runs damaged runs, $bad with a fault"
check "every damaged run ends as documented" '[ $bad -eq 0 ]'
exit $fail
