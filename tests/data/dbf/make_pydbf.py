# Writes the test tables of python3-dbf into the folder given as argument.
# The rows are those of persons.csv.
import datetime, dbf, sys
out = sys.argv[1]
rows = [
    ("Müller", "Jürgen", "Köln", 1948, 50.94, datetime.date(1948, 3, 21)),
    ("Schröder", "Käthe", "Göttingen", 1951, 51.53, datetime.date(1951, 11, 2)),
    ("Weiß", "Björn", "Düsseldorf", 1960, 51.23, datetime.date(1960, 7, 15)),
    ("Öztürk", "Ümit", "Fürth", 1975, 49.48, datetime.date(1975, 1, 30)),
    ("Straßer", "Änne", "Lübeck", 1982, 53.87, datetime.date(1982, 12, 24)),
]
def make(path, codepage, dbf_type):
    t = dbf.Table(path, "NAME C(20); VORNAME C(20); ORT C(20); JAHR N(4,0); BREITE N(7,2); GEBURT D",
                  codepage=codepage, dbf_type=dbf_type)
    t.open(dbf.READ_WRITE)
    for r in rows:
        t.append(r)
    t.close()
make(out + "/pydbf_cp1252.dbf", "cp1252", "db3")
make(out + "/pydbf_cp850.dbf", "cp850", "db3")
make(out + "/pydbf_vfp.dbf", "cp1252", "vfp")
# Clipper writes character fields longer than 255 with the high byte in
# descriptor byte 17.
t = dbf.Table(out + "/pydbf_clipper.dbf", "NAME C(20); NOTIZ C(300)", codepage="cp1252", dbf_type="clp")
t.open(dbf.READ_WRITE)
t.append(("Müller", "Größe " + "x" * 280 + " Ende"))
t.append(("Weiß", ""))
t.close()
