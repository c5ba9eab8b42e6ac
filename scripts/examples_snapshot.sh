#!/usr/bin/env bash
# Runs every example batch with --seed 7 in a fresh copy of assets/ and
# examples/, in the order in which each finds the working files of those
# before it, and keeps what they wrote: the results folders, the exit
# statuses (rc.txt) and the working files (work/). Two snapshots of two
# builds compare with
#   diff -rq -x qzk.log -x '*.log' -x LICENSES.md -x manifest.json -x replay.kmwb SNAP_A SNAP_B
# (the logs name the absolute results folder, the records' manifests and
# replays the run's times); a change that keeps every result shows no line.
#   bash scripts/examples_snapshot.sh BUILD_DIR OUT_DIR
set -u
[ $# -eq 2 ] || { echo "usage: examples_snapshot.sh BUILD_DIR OUT_DIR" >&2; exit 2; }
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
out=$2
rm -rf "$out" && mkdir -p "$out" && out=$(realpath "$out")
work=$(mktemp -d /tmp/kmwb-snapshot.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$top"/assets/. "$top"/examples/. "$work"/
cd "$work" || exit 1
for batch in julian-date continuum continuum-random events events-lists probability fluctuations resonance demo; do
  timeout 1200 "$build"/kmwb --headless --batch $batch.kmwb --out "$out/$batch" --seed 7 > "$out/$batch.log" 2>&1
  echo "$batch rc $?" >> "$out/rc.txt"
done
mkdir -p "$out/work"
find . -maxdepth 2 -name "*.txt" | while read -r f; do
  mkdir -p "$out/work/$(dirname "$f")"
  cp "$f" "$out/work/$f"
done
