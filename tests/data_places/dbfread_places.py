#!/usr/bin/env python3
"""Prints every record of a places table as python's dbfread reads it: one
line per record, the fields tab-separated in table order, texts as they
are, numbers with the decimals their field has. Exit status 3 when
dbfread is not installed."""
import sys

try:
    from dbfread import DBF
except ImportError:
    sys.exit(3)

table = DBF(sys.argv[1], encoding="utf-8", char_decode_errors="strict")
fields = table.fields
out = sys.stdout
for record in table:
    values = []
    for f in fields:
        v = record[f.name]
        if f.type == "N":
            values.append("%.*f" % (f.decimal_count, v) if f.decimal_count else "%d" % v)
        else:
            values.append(v)
    out.write("\t".join(values) + "\n")
