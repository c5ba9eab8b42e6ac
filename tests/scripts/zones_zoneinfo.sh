#!/usr/bin/env bash
# kmwb zone against Python's zoneinfo on the same system database:
# 5000 random zone-date pairs of 1900..2037 and the chosen cases (double
# summer time, negative summer time, Troll, gap and fold, zones that are
# not whole hours); see lib/zoneinfo_check.py. Then the command's usage
# errors.
. "$(dirname "$0")/lib/kmwb.sh"
cd "$work" || exit 1
if [ ! -e /usr/share/zoneinfo/Europe/Berlin ] || ! /usr/bin/python3 -c "import zoneinfo" 2>/dev/null; then
  echo "skipped: tzdata or Python's zoneinfo is missing"
  exit 77
fi

/usr/bin/python3 "$(dirname "$0")/lib/zoneinfo_check.py" "$kmwb" 5000 24 > check.out
rc=$?
cat check.out
check "kmwb zone agrees with zoneinfo" '[ $rc = 0 ]'

check "Berlin, 1 July 1990" '[ "$("$kmwb" zone Europe/Berlin 1990 7 1 12 0)" = "$(printf "1\t1\t1990-07-01\t10:00:00")" ]'
"$kmwb" zone Europe/Berlin 1991 3 31 2 30 > gap.out 2> gap.err
check "a gap answers with the offset before and says so" \
  '[ "$(cat gap.out)" = "$(printf "1\t0\t1991-03-31\t01:30:00")" ] && grep -q "does not exist in Europe/Berlin" gap.err && grep -q "offset before the change" gap.err'
"$kmwb" zone Mars/Olympus 2000 1 1 0 0 > /dev/null 2> unknown.err
check "an unknown zone is status 2 with its name" '[ $? = 2 ] && grep -q "Mars/Olympus" unknown.err'
"$kmwb" zone Europe/Berlin 2001 2 29 0 0 > /dev/null 2> date.err
check "a date that is none is status 2" '[ $? = 2 ] && grep -q "29.2.2001 is no date" date.err'
"$kmwb" zone Europe/Berlin 1990 7 > /dev/null 2> usage.err
check "too few numbers is a usage error" '[ $? = 2 ] && grep -q "usage: kmwb zone" usage.err'
printf 'Europe/Berlin 1990 7 1 12 0\nnonsense\nAsia/Kolkata 1990 7 1 12 0 30\n' | "$kmwb" zone --batch > batch.out 2> batch.err
check "a batch with a bad line exits 1, an empty line in its place" \
  '[ $? = 1 ] && [ "$(sed -n 2p batch.out)" = "" ] && grep -q "^line 2: " batch.err'
check "seconds in a batch line" '[ "$(sed -n 3p batch.out)" = "$(printf "5.5\t0\t1990-07-01\t06:30:30")" ]'
exit $fail
