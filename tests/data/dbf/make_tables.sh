#!/usr/bin/env bash
# Writes the reference tables of this folder into OUT (default: here) with
# two independent dBase writers from Debian's packages:
#   gdal-bin     ogr2ogr, from persons.csv with its column types in persons.csvt
#   python3-dbf  make_pydbf.py, the same rows
# Either part is left out (with a line on stderr) when its tool is missing;
# the exit status is 0 only when every table was written.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
status=0
if command -v ogr2ogr >/dev/null; then
  tmp=$(mktemp -d)
  # Windows ANSI with a .cpg file, and GDAL's default (language byte 0x57).
  ogr2ogr -f "ESRI Shapefile" -lco ENCODING=CP1252 "$tmp/gdal_cp1252.dbf" "$here/persons.csv" &&
  ogr2ogr -f "ESRI Shapefile" "$tmp/gdal_ldid87.dbf" "$here/persons.csv" &&
  cp "$tmp/gdal_cp1252.dbf" "$tmp/gdal_ldid87.dbf" "$out/" || status=1
  rm -rf "$tmp"
else
  echo "make_tables.sh: ogr2ogr missing, GDAL tables not written" >&2
  status=1
fi
if /usr/bin/python3 -c "import dbf" 2>/dev/null; then
  /usr/bin/python3 "$here/make_pydbf.py" "$out" || status=1
else
  echo "make_tables.sh: python3-dbf missing, its tables not written" >&2
  status=1
fi
exit $status
