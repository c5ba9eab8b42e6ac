#!/usr/bin/env python3
"""kmwb zone against Python's zoneinfo, an independent reader of the same
system time-zone database.

Usage: zoneinfo_check.py KMWB [PAIRS] [SEED]

For PAIRS random zone-date pairs of 1900..2037 (a local date and clock
time to the minute, every zone of the database equally likely), and for
the hand-picked cases below (the 1940s double summer time, the negative
winter time of Dublin and Windhoek, Troll, a spring gap, an autumn fold,
zones that are not whole hours), it checks what `kmwb zone --batch`
prints against zoneinfo read with fold=0 (the offset before a change of
the clocks, the choice kmwb states):
  - the total offset (standard + summer time) and the UT date and time;
  - the summer-time amount: 0 where zoneinfo's dst() is 0, else the offset
    less the offset of the last moment before without summer time (of
    the first one after where that gives 0; one hour where neither does),
    found by walking zoneinfo day by day. zoneinfo's own dst() amount is
    not used: it guesses it per kind of period from the neighbours, which
    gives 1 hour for Britain's double summer time.
Exit status 0 when everything agrees, 1 otherwise, 3 when zoneinfo or the
database is missing.
"""
import random
import subprocess
import sys
from datetime import datetime, timedelta, timezone

try:
    import zoneinfo
except ImportError:
    sys.exit(3)

KMWB = sys.argv[1]
PAIRS = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
SEED = int(sys.argv[3]) if len(sys.argv) > 3 else 24
DAY = timedelta(days=1)
ZERO = timedelta(0)

# zone, Y M D h m, standard and summer hours expected, the clock case
CASES = [
    ("Europe/Berlin", (1990, 7, 1, 12, 0), 1, 1, None),
    ("Asia/Kolkata", (1990, 7, 1, 12, 0), 5.5, 0, None),
    ("Europe/London", (1944, 6, 1, 12, 0), 0, 2, None),   # double summer time
    ("Europe/London", (1944, 1, 1, 12, 0), 0, 1, None),   # summer time all winter
    ("Europe/London", (1947, 6, 1, 12, 0), 0, 2, None),
    ("Europe/Berlin", (1945, 7, 1, 12, 0), 1, 2, None),
    ("Europe/Berlin", (1947, 6, 1, 12, 0), 1, 2, None),
    ("Europe/Dublin", (1990, 1, 1, 12, 0), 1, -1, None),  # winter time as negative summer time
    ("Europe/Dublin", (1990, 7, 1, 12, 0), 1, 0, None),
    ("Africa/Windhoek", (2000, 7, 1, 12, 0), 2, -1, None),
    ("Antarctica/Troll", (2020, 7, 1, 12, 0), 0, 2, None),
    ("Antarctica/Troll", (2020, 1, 1, 12, 0), 0, 0, None),
    ("America/St_Johns", (1990, 1, 1, 12, 0), -3.5, 0, None),
    ("Asia/Tehran", (2000, 1, 1, 12, 0), 3.5, 0, None),
    ("Asia/Kathmandu", (2000, 1, 1, 12, 0), 5.75, 0, None),
    ("Australia/Adelaide", (2000, 1, 1, 12, 0), 9.5, 1, None),
    ("Australia/Lord_Howe", (2000, 1, 1, 12, 0), 10.5, 0.5, None),
    ("Europe/Berlin", (1991, 3, 31, 2, 30), 1, 0, "does not exist"),   # spring gap
    ("Europe/Berlin", (1991, 9, 29, 2, 30), 1, 1, "comes twice"),     # autumn fold
    ("America/New_York", (2021, 3, 14, 2, 15), -5, 0, "does not exist"),
    ("America/New_York", (2021, 11, 7, 1, 30), -5, 1, "comes twice"),
]


def hours(td):
    return td.total_seconds() / 3600


def expected_save(zone, utc, total):
    """The summer-time amount by walking zoneinfo from the moment `utc`."""
    if utc.astimezone(zone).dst() == ZERO:
        return 0.0
    for step in (-DAY, DAY):
        t = utc
        for _ in range(60000):  # about 160 years
            t += step
            try:
                local = t.astimezone(zone)
            except OverflowError:
                break
            if local.dst() == ZERO:
                amount = hours(total - local.utcoffset())
                if amount != 0:
                    return amount
                break
    return 1.0


def main():
    names = sorted(n for n in zoneinfo.available_timezones()
                   if not n.startswith(("posix/", "right/")) and n not in ("Factory", "localtime"))
    if not names:
        sys.exit(3)
    rng = random.Random(SEED)
    questions = []
    for _ in range(PAIRS):
        zone = rng.choice(names)
        day0 = datetime(1900, 1, 1) + timedelta(days=rng.randrange((datetime(2038, 1, 1) - datetime(1900, 1, 1)).days))
        questions.append((zone, (day0.year, day0.month, day0.day, rng.randrange(24), rng.randrange(60)), None, None, None))
    questions += CASES
    text = "".join("%s %d %d %d %d %d\n" % ((q[0],) + q[1]) for q in questions)
    run = subprocess.run([KMWB, "zone", "--batch"], input=text, capture_output=True, text=True)
    lines = run.stdout.split("\n")
    notes = run.stderr
    bad = 0
    checked = {"total": 0, "summer": 0, "summer != 1 h": 0}
    for i, (name, when, want_std, want_save, case) in enumerate(questions):
        got = lines[i].split("\t") if i < len(lines) else [""]
        if len(got) != 4:
            print("FAIL line %d %s %s: kmwb gave %r" % (i + 1, name, when, lines[i] if i < len(lines) else None))
            bad += 1
            continue
        std, save = float(got[0]), float(got[1])
        zone = zoneinfo.ZoneInfo(name)
        local = datetime(*when, tzinfo=zone, fold=0)
        total = local.utcoffset()
        utc = local.astimezone(timezone.utc)
        want_ut = utc.strftime("%Y-%m-%d") + "\t" + utc.strftime("%H:%M:%S")
        problems = []
        if round((std + save) * 3600) != round(total.total_seconds()):
            problems.append("total %s + %s h, zoneinfo %s h" % (got[0], got[1], hours(total)))
        if got[2] + "\t" + got[3] != want_ut:
            problems.append("UT %s, zoneinfo %s" % (got[2] + " " + got[3], want_ut))
        # The walk starts from the period the answer is of: in a gap the one
        # before the change, an hour before the moment.
        in_gap = utc.astimezone(zone).replace(tzinfo=None) != local.replace(tzinfo=None)
        start = utc - timedelta(hours=3) if in_gap else utc
        want = expected_save(zone, start, start.astimezone(zone).utcoffset() if in_gap else total)
        if abs(save - want) > 1e-6:
            problems.append("summer time %s h, walking zoneinfo %s h" % (got[1], want))
        if want_std is not None and (abs(std - want_std) > 1e-9 or abs(save - want_save) > 1e-9):
            problems.append("expected %s %s" % (want_std, want_save))
        message = "line %d: " % (i + 1)
        has_note = any(l.startswith(message) for l in notes.splitlines())
        if case and not any(l.startswith(message) and case in l for l in notes.splitlines()):
            problems.append("no message \"%s\" on standard error" % case)
        if not case and want_std is not None and has_note:
            problems.append("a gap or fold message for a unique time")
        if problems:
            bad += 1
            print("FAIL %s %s: %s" % (name, when, "; ".join(problems)))
        checked["total"] += 1
        if save != 0:
            checked["summer"] += 1
            if save != 1:
                checked["summer != 1 h"] += 1
    print("%d zone-date pairs (%d random, %d chosen): %d with summer time, %d of them not one hour; %d disagree"
          % (checked["total"], PAIRS, len(CASES), checked["summer"], checked["summer != 1 h"], bad))
    sys.exit(1 if bad else 0)


main()
