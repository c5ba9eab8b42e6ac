#!/usr/bin/env bash
# The event analysis' example batches through kmwb, each in a copy of
# examples/: the continuum, then the group of the eight example persons
# from persons.dbf and from the Current_ lists; both give the same group
# files. Where Debian's python has dbfread, the example table is read with
# it too and must hold the persons the lists name.
# Usage: events_examples.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"

for run in events events-lists; do
  mkdir "$work/$run"
  cp "$source"/examples/persons.dbf "$source"/examples/Current_*.txt "$work/$run/"
  (cd "$work/$run" && "$kmwb" --batch "$source/examples/$run.kmwb" --out out > log 2>&1)
  check "$run.kmwb succeeds" '[ $? -eq 0 ] || { cat "$work/$run/log"; false; }'
done
cd "$work" || exit 1
check "all eight persons used" 'grep -q "Members used: 8 of 8" events/out/text-6.txt'
check "dath.txt: 121 cells" '[ "$(wc -l < events/dath.txt)" = 121 ]'
check "eventsh.txt: one line per member" '[ "$(wc -l < events/eventsh.txt)" = 8 ]'
check "the four group tables on text 2" '[ "$(grep -c -E "^(Principle|Prinzip:)" events/out/text-2.txt)" = 4 ]'
check "graphic page 3 saved" '[ -s events/out/graphic-3.png ]'
for f in dath.txt dati.txt datz.txt data.txt zsummh.txt zsummi.txt zsummd.txt zsummda.txt matrixsumevent.txt \
         eventsh.txt eventsda.txt juliandat.txt juliansummerz.txt julianzeitzone.txt name.txt; do
  check "$f the same from the table and from the lists" "cmp -s events/$f events-lists/$f"
done
check "no timegeburt.txt for a group of eight" '[ ! -e events/timegeburt.txt ]'

if /usr/bin/python3 -c "import dbfread" 2> /dev/null; then
  /usr/bin/python3 - "$source/examples" > dbfread.log 2>&1 <<'PY'
import sys, dbfread
folder = sys.argv[1]
rows = list(dbfread.DBF(folder + "/persons.dbf", encoding="cp1252"))
def lines(name):
    with open(folder + "/Current_" + name + ".txt", encoding="utf-8") as f:
        return f.read().split("\n")[:-1]
assert len(rows) == int(lines("members")[0]) == 8, len(rows)
for i, r in enumerate(rows):
    assert r["LASTNAME"] == lines("Lastname")[i], (r["LASTNAME"], lines("Lastname")[i])
    assert r["CITY"] == lines("City")[i]
    assert abs(r["LONGITUDE"] - float(lines("Longitude")[i])) < 1e-9
    assert (r["YEAR"], r["MONTH"], r["DAY"], r["HOUR"], r["MINUTE"]) == tuple(
        int(lines(n)[i]) for n in ("Year", "Month", "Day", "Hour", "Minute"))
print("dbfread: the table and the lists agree")
PY
  check "dbfread reads the example table as the lists say" '[ $? -eq 0 ] || { cat dbfread.log; false; }'
else
  echo "note: dbfread is missing (Debian python3-dbfread); the table was not read by it"
fi
exit $fail
