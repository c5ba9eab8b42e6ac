#!/usr/bin/env bash
# Builds the picture readers' fuzz targets with libFuzzer and
# AddressSanitizer into OUT (default /tmp/qzk-fuzz):
#   bash fuzz/picture_build.sh [OUT]
# Run one for a while in a scratch folder (the reader logs to qzk.log there):
#   cd OUT && ./picture_bmp -max_total_time=300 -max_len=65536 corpus_bmp
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/qzk-fuzz}
mkdir -p "$out"
common=("$src/qzk/log.cpp" "$src/qzk/pixmap.cpp" "$src/qzk/pixmap_convert.cpp" "$src/qzk/pixmap_copy.cpp")
for reader in bmp ppm pcx xpm; do
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$src" \
    "$src/fuzz/picture_$reader.cpp" "$src/qzk/$reader.cpp" "${common[@]}" -o "$out/picture_$reader"
  mkdir -p "$out/corpus_$reader"
done
echo "built in $out"
