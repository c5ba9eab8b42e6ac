# Sourced by the script tests that run the kmwb program: takes the build
# and source folders from the arguments, skips (77) when kmwb is not
# built, makes the scratch folder $work (removed at the end) and offers
# check NAME CONDITION, which notes a failure in $fail.
set -u
build=$1
source=${2:-}
kmwb=$build/kmwb
if [ ! -x "$kmwb" ]; then
  echo "skipped: $kmwb is not built"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
