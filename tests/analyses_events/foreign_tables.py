"""Writes the first four example persons as dBase tables with writers that
are not ours: python3-dbf (dBase III with a code page byte, Visual FoxPro)
and GDAL's ogr2ogr (its own language byte, or a .cpg file beside the table).
Each table lays the persons out differently: field order, field types (C,
N with decimals, F, D, L, binary I), upper- and lower-case names, German
names, a date field and a clock-time text instead of the separate fields.

    foreign_tables.py dbf|ogr FOLDER

prints the tables written, one file name per line; exit status 3 when the
writer is not installed.
"""
import csv
import datetime
import os
import shutil
import subprocess
import sys

# The first four persons of examples/persons.dbf.
PERSONS = [
    ("Müller", "Jürgen", "Görlitz", 14.59, 51.09, 1, 1952, 3, 14, 6, 45, 0),
    ("Schäfer", "Anneliese", "Würzburg", 9.56, 49.48, 1, 1961, 7, 2, 14, 20, 0),
    ("Größer", "Käthe", "Lüneburg", 10.25, 53.15, 1, 1974, 11, 23, 23, 5, 0),
    ("Bäumler", "Frédéric", "Straßburg", 7.45, 48.35, 1, 1983, 5, 30, 8, 10, 1),
]


def degrees_minutes(value):
    hundredths = round(abs(value) * 100)
    sign = -1 if value < 0 else 1
    return sign * (hundredths // 100), sign * (hundredths % 100)


def with_dbf(folder):
    try:
        import dbf
    except ImportError:
        sys.exit(3)
    written = []

    # dBase III, DOS code page 850, German field names in another order,
    # the date in a D field, the clock time as text, summer time logical.
    name = "db3-cp850.dbf"
    t = dbf.Table(os.path.join(folder, name),
                  "ort C(30); geburt D; zeit C(5); name C(25); vorname C(20); "
                  "zone N(3,0); dst L; laenge N(8,4); breite N(8,4)",
                  dbf_type="db3", codepage="cp850")
    t.open(dbf.READ_WRITE)
    for p in PERSONS:
        t.append((p[2], datetime.date(p[6], p[7], p[8]), "%02d:%02d" % (p[9], p[10]),
                  p[0], p[1], p[5], bool(p[11]), p[3], p[4]))
    t.close()
    written.append(name)

    # dBase III, DOS code page 437, the separate fields with decimals
    # (an hour of 14.00, a minute of 20.0), degrees and minutes apart, a
    # float field, a note the analysis does not read, a deleted record.
    name = "db3-cp437.dbf"
    t = dbf.Table(os.path.join(folder, name),
                  "NOTES C(12); LATDEG N(3,0); LATMIN F(5,1); LONDEG N(4,0); LONMIN N(3,0); "
                  "MINUTE N(4,1); HOUR N(5,2); DAY N(2,0); MONTH N(2,0); YEAR N(4,0); "
                  "SUMMERTIME L; TIMEZONE N(3,0); CITY C(30); FIRSTNAME C(20); LASTNAME C(25)",
                  dbf_type="db3", codepage="cp437")
    t.open(dbf.READ_WRITE)
    for k, p in enumerate(PERSONS):
        lon, lat = degrees_minutes(p[3]), degrees_minutes(p[4])
        t.append(("äöü ß", lat[0], float(lat[1]), lon[0], lon[1], float(p[10]), float(p[9]),
                  p[8], p[7], p[6], bool(p[11]), p[5], p[2], p[1], p[0]))
        if k == 1:  # a record deleted but not packed away lies between
            t.append(("gelöscht", 0, 0.0, 0, 0, 0.0, 99.0, 0, 13, 1900, False, 0, "", "", "Weg"))
            dbf.delete(t[-1])
    t.close()
    written.append(name)

    # Visual FoxPro, Windows ANSI: a header with its 263 bytes after the
    # field descriptors, and a binary integer field (not read as text).
    name = "vfp-cp1252.dbf"
    t = dbf.Table(os.path.join(folder, name),
                  "LASTNAME C(25); FIRSTNAME C(20); CITY C(30); YEAR N(4,0); MONTH N(2,0); "
                  "DAY N(2,0); HOUR N(2,0); MINUTE N(2,0); SECOND I; TIMEZONE N(3,0); "
                  "SUMMERTIME N(1,0); LONGITUDE N(7,2); LATITUDE N(7,2)",
                  dbf_type="vfp", codepage="cp1252")
    t.open(dbf.READ_WRITE)
    for p in PERSONS:
        t.append((p[0], p[1], p[2], p[6], p[7], p[8], p[9], p[10], 0, p[5], p[11], p[3], p[4]))
    t.close()
    written.append(name)
    return written


def with_ogr(folder):
    ogr2ogr = shutil.which("ogr2ogr")
    if not ogr2ogr:
        sys.exit(3)
    source = os.path.join(folder, "persons.csv")
    with open(source, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f)
        w.writerow(["lastname", "firstname", "city", "date", "hour", "minute",
                    "timezone", "summertime", "longitude", "latitude"])
        for p in PERSONS:
            w.writerow([p[0], p[1], p[2], "%04d/%02d/%02d" % (p[6], p[7], p[8]),
                        p[9], p[10], p[5], p[11], "%.2f" % p[3], "%.2f" % p[4]])
    with open(os.path.join(folder, "persons.csvt"), "w") as f:
        f.write('"String(25)","String(20)","String(30)","Date","Integer(2)","Integer(2)",'
                '"Integer(3)","Integer(1)","Real(8.4)","Real(8.4)"\n')
    written = []
    # Its default (language byte 0x57, Latin-1), DOS 850 named in a .cpg
    # file (language byte 0), and UTF-8 named in a .cpg file.
    for name, options in (("ogr-default.dbf", []),
                          ("ogr-cp850.dbf", ["-lco", "ENCODING=CP850"]),
                          ("ogr-utf8.dbf", ["-lco", "ENCODING=UTF-8"])):
        subprocess.run([ogr2ogr, "-f", "ESRI Shapefile", *options, os.path.join(folder, name), source],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        written.append(name)
    return written


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("dbf", "ogr"):
        sys.exit("usage: foreign_tables.py dbf|ogr FOLDER")
    tables = with_dbf(sys.argv[2]) if sys.argv[1] == "dbf" else with_ogr(sys.argv[2])
    print("\n".join(tables))
