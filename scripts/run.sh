#!/usr/bin/env bash
# Starts the workbench in its working folder. The modules read and write
# their working files in the current directory, so the program runs in a
# folder of its own (workspace/ by default) that holds the assets and the
# examples it needs; files already there are never overwritten.
set -euo pipefail
build=$1; dir=$2; shift 2
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$dir"
for src in "$top"/assets/* "$top"/examples/*; do
  [ -e "$src" ] || continue
  dest="$dir/$(basename "$src")"
  [ -e "$dest" ] || cp -r "$src" "$dest"
done
cd "$dir"
exec "$top/$build/kmwb" "$@"
