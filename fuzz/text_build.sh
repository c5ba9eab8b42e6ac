#!/usr/bin/env bash
# Builds the fuzz targets of the text parsers (batch scripts and their
# answers, person files, widget option strings, the chart tools' batch
# input) with libFuzzer, AddressSanitizer and UBSan into OUT (default
# /tmp/kmwb-text-fuzz):
#   bash fuzz/text_build.sh [OUT]
# Run one for a while in a scratch folder (the toolkit logs to qzk.log there):
#   cd OUT && ./options_fuzz -max_total_time=300 -timeout=5 corpus_options
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/kmwb-text-fuzz}
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -Wall -Wextra -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined -I"$src")
build() {
  local name=$1
  shift
  clang++ "${flags[@]}" "$src/fuzz/$name.cpp" "$@" -o "$out/$name"
}
build batch_script_fuzz "$src/app/batch_script.cpp" "$src/app/answers.cpp" &
# Person files look zones up (date/tz on the system's tzdata) and places
# (a places.dbf in the fuzzing folder, if any; none is rebuilt there).
build person_file_fuzz "$src/data/person_file.cpp" "$src/data/event_record.cpp" \
  "$src/data/record_messages.cpp" "$src/data/time_zones.cpp" "$src/data/zone_record.cpp" \
  "$src/data/places_table.cpp" "$src/data/place_index.cpp" "$src/data/place_names.cpp" \
  "$src"/qzk/xbase*.cpp "$src/qzk/gzip_file.cpp" "$src/qzk/log.cpp" \
  -DUSE_OS_TZDB=1 -DONLY_C_LOCALE=1 -DHAS_STRING_VIEW=1 -DKMWB_ASSETS_DIR='"/nonexistent"' -ldate-tz -lz -pthread
wait
build options_fuzz "$src"/qzk/options_*.cpp "$src/qzk/font_registry.cpp" \
  "$src/qzk/font_builtin.cpp" "$src/qzk/font_parse.cpp" "$src/qzk/font_text.cpp" \
  "$src/qzk/ids.cpp" "$src/qzk/log.cpp"
# The core's tables are built by GCC's constant evaluation, which clang
# does not do: its library comes from a cmake build (BUILD, default
# /work/build-fuzz, target kmcore) and is linked without instrumentation.
build_dir=${BUILD:-/work/build-fuzz}
cmake --build "$build_dir" --target kmcore -j2 >/dev/null
build chart_batch_fuzz "$src/app/chart_command.cpp" "$build_dir/libkmcore.a"
for name in batch_script person_file options chart_batch; do mkdir -p "$out/corpus_$name"; done
# Seeds: the example scripts and person file, a few option strings, and
# moments (the first byte picks chart or matrices and their options).
cp "$src"/examples/*.kmwb "$out/corpus_batch_script/"
cp "$src"/examples/*.person "$out/corpus_person_file/"
printf '%s' '&OK,x=50%,y=90%,xs=80,isdefault,hotkey=return' >"$out/corpus_options/button"
printf '%s' 'Title,x=50%,y=50%,xs=650,ys=300,modal,nosysmenu,noquit,bgcolour=lightgrey' \
  >"$out/corpus_options/window"
printf '%s' 'x=0,y=0,xs=100%,ys=100%,lines=25,columns=80,scrollback,font=6x13b' \
  >"$out/corpus_options/terminal"
printf '%s' 'open,filter=*.dbf|tables,filter=*.*,defaultext=dbf,dir=.' >"$out/corpus_options/file"
printf '\0002000 1 1 12 0 0 1 0 10 0 50 0\n1955 3 17 23 59 1 2 1 -73 -59 -33 -52\n' \
  >"$out/corpus_chart_batch/chart"
printf '\2001582 10 15 0 0 0 0 0 0 0 90 0\n' >"$out/corpus_chart_batch/matrices"
printf '\340-4712 1 1 0 0 0 -24 24 -360 360 -90 0\n' >"$out/corpus_chart_batch/fixed"
echo "built in $out"
