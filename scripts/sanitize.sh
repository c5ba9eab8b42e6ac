#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# into BUILD (default build-sanitize) and runs the test suite there:
#   bash scripts/sanitize.sh [BUILD]
# Any invalid access, leak of our own or undefined behaviour fails the test
# that caused it. The tests on a real X server run without the leak check:
# the display libraries SDL loads and unloads leave allocations whose
# frames no longer name a module, so they cannot be told from ours.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-sanitize}
# float-cast-overflow is not part of "undefined": it catches a conversion of
# a floating-point value (NaN, an infinity, 1e20) to an integer that cannot
# hold it.
sanitizers="address,undefined,float-cast-overflow"
flags="-O1 -g -fsanitize=$sanitizers -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow"
cmake -S "$top" -B "$build" -DKMWB_TEST_TIMEOUT=3600 -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers"
cmake --build "$build" -j"$(nproc)"
export UBSAN_OPTIONS="print_stacktrace=1"
cd "$build"
ctest --output-on-failure -j"$(nproc)" -E '^script_xvfb_'
ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -R '^script_xvfb_'
