#!/usr/bin/env bash
# The long loops on 1, 2, 3 and 7 worker threads write the same files to
# the byte: the continuum evenly spaced and at random, the event analysis
# of 1000 members of a table of 5000, the matrix probability with a seed,
# the fluctuations and the resonance curve, in one batch per thread count.
# Then how the number of threads is chosen (--threads, KMWB_THREADS, the
# cores), where it is told, and the messages for numbers that are none.
# Usage: threads_examples.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1

# A dBase III table of 5000 invented persons, the fields the event
# analysis recognises.
/usr/bin/python3 - members.dbf <<'PY' || { echo "FAIL: the table could not be written"; exit 1; }
import struct, sys
fields = [("LASTNAME", "C", 30, 0), ("FIRSTNAME", "C", 30, 0), ("CITY", "C", 30, 0),
          ("LONGITUDE", "N", 7, 2), ("LATITUDE", "N", 7, 2), ("TIMEZONE", "N", 3, 0),
          ("YEAR", "N", 5, 0), ("MONTH", "N", 3, 0), ("DAY", "N", 3, 0), ("HOUR", "N", 3, 0),
          ("MINUTE", "N", 3, 0), ("SUMMERTIME", "N", 3, 0)]
records = []
for i in range(5000):
    values = ["Person%d" % i, "Test", "Town%d" % (i % 97), (i * 3) % 30 + 0.01 * (i % 60),
              40 + i % 20 + 0.01 * (i % 60), 1, 1900 + (i * 37) % 100, 1 + (i * 7) % 12,
              1 + (i * 11) % 28, (i * 5) % 24, (i * 13) % 60, i % 2]
    row = b" "
    for (name, kind, width, decimals), v in zip(fields, values):
        text = v.ljust(width) if kind == "C" else ("%*.*f" % (width, decimals, v))
        row += text.encode("ascii")
    records.append(row)
length = 1 + sum(f[2] for f in fields)
header = struct.pack("<BBBBIHH20x", 3, 126, 1, 1, len(records), 32 + 32 * len(fields) + 1, length)
for name, kind, width, decimals in fields:
    header += struct.pack("<11sc4xBB14x", name.encode(), kind.encode(), width, decimals)
with open(sys.argv[1], "wb") as f:
    f.write(header + b"\r" + b"".join(records) + b"\x1a")
PY

cat > long.kmwb <<'BATCH'
run 1- Statistics 1 - Continuum
Order of the correlation -> 5
with IC -> yes
Members of the group -> 1000
Should planets be selected -> yes
selected planets -> 1 1 0 1 1 1 1 1 1 0 1
Should self-correlations -> yes
Enter start-date -> 1.1.1950 0:00
Enter end-date -> 1.1.2050 0:00
* Number per interval -> 900
Selection accidental -> yes

run 1- Statistics 1 - Continuum
Order of the correlation -> 4
with IC -> yes
Members of the group -> 1000
Should planets be selected -> no
Should the planets get a weight -> yes
weight of gravity -> 2
gravity planets -> - - - - - - - - - - -
Should self-correlations -> yes
Enter start-date -> 1.1.1900 0:00
Enter end-date -> 1.1.2000 0:00
* Number per interval -> 30011
Selection accidental -> no

run 2- Event Analysis
Has the continuum run before -> yes
read data automatically -> yes
time shift d -> 1
time shift h -> -3
INPUT from *.dbf -> yes
Open -> members.dbf
offset in database -> 2001

run 4- Matrix Probability
Enter start-date -> 1.1.1900 0:00
Enter end-date -> 1.1.2000 0:00
NUMBER OF THE GROUPS? -> 150

run 11- Planetary Fluctuations - time quality
Choose -> one year
Interval divider -> 5000
Program event analysis run? -> yes
mark events? -> yes
Limits? -> yes
limit H -> 0
limit I -> 100
limit D -> 0
limit DA -> 1000
start year -> 1983

run 6- Planetary Fluctuations - resonances
Order of the correlation -> 3
with IC? then 10: -> 10
gravity planets -> - - - - - - - - - - -
Person: -> from a person file
Person file -> anna-meier.person
Birth time coupling factor -> 5
Enter the period: -> Transits for one month
year: -> 2024
month: -> 3
day: -> 1
hoar: -> 12
minute: -> 1
date / time: -> 1.3.2024 12:01:00
BATCH

for n in 1 2 3 7; do
  mkdir "t$n"
  cp members.dbf long.kmwb "$source/examples/anna-meier.person" "t$n/"
  (cd "t$n" && "$kmwb" --batch long.kmwb --out out --seed 11 --threads "$n" > ../log$n 2>&1)
  check "$n threads: the batch succeeds" '[ $? -eq 0 ] || { tail -20 log$n; false; }'
  check "$n threads: told with the seed" 'grep -q "random seed 11, threads $n$" log$n'
  check "$n threads: in qzk.log" 'grep -q "^worker threads: $n$" t$n/qzk.log'
done
check "the group has 1000 members" 'grep -q "Members used: 1000 of 1000" t1/out/03-2-Event-Analysis/text-6.txt'
check "the random moments are kept" '[ "$(wc -l < t1/Optimierung-COMPARE/bjuliandat.txt)" = 900 ]'
check "the pages and pictures are saved" '[ "$(find t1/out -name "graphic-*" | wc -l)" -ge 10 ]'
files=$(cd t1 && find . -type f ! -name qzk.log | sort)
check "the files are the same" '[ "$files" = "$(cd t7 && find . -type f ! -name qzk.log | sort)" ]'
# The records name the run itself (its times, its thread count); every
# other file must be the same to the byte.
files=$(cd t1 && find . -type f ! -name qzk.log ! -name manifest.json ! -name replay.kmwb | sort)
check "each module's record tells its threads" \
  'for n in 1 2 3 7; do grep -q "\"threads\": $n," t$n/out/04-4-Matrix-Probability/manifest.json || exit 1; done'
for n in 2 3 7; do
  differ=""
  for f in $files; do cmp -s "t1/$f" "t$n/$f" || differ="$differ $f"; done
  check "$n threads write every file as 1 thread:$differ" '[ -z "$differ" ]'
done

# The choice of the number: --threads before KMWB_THREADS before the cores.
cat > jd.kmwb <<'BATCH'
run 17- Julian Date
Julian Date -> Date to Julian date
Date and time -> 17.3.1955 23:59:00
BATCH
KMWB_THREADS=5 "$kmwb" --batch jd.kmwb --out jd --force > env.log 2>&1
check "KMWB_THREADS=5 is used" 'grep -q "threads 5$" env.log'
KMWB_THREADS=5 "$kmwb" --batch jd.kmwb --out jd --force --threads 2 > both.log 2>&1
check "--threads wins over KMWB_THREADS" 'grep -q "threads 2$" both.log'
cores=$(nproc --all 2> /dev/null || getconf _NPROCESSORS_ONLN)
env -u KMWB_THREADS "$kmwb" --batch jd.kmwb --out jd --force > cores.log 2>&1
check "by default the cores ($cores)" 'grep -q "threads $cores$" cores.log'
for bad in 0 -1 abc 2x 257 99999999999; do
  "$kmwb" --batch jd.kmwb --out jd --threads "$bad" > bad.log 2>&1
  check "--threads $bad: status 2" '[ $? -eq 2 ]'
  check "--threads $bad: told" 'grep -q "threads wants a whole number of threads from 1 to 256, not \"$bad\"" bad.log'
  KMWB_THREADS="$bad" "$kmwb" --batch jd.kmwb --out jd > badenv.log 2>&1
  check "KMWB_THREADS=$bad: status 2" '[ $? -eq 2 ]'
  check "KMWB_THREADS=$bad: told" 'grep -q "KMWB_THREADS wants a whole number" badenv.log'
done
"$kmwb" --batch jd.kmwb --out jd --threads > missing.log 2>&1
check "--threads without a number: status 2" '[ $? -eq 2 ] && grep -q "needs a value" missing.log'
exit $fail
