#!/usr/bin/env bash
# Builds the whole project with ThreadSanitizer into BUILD (default
# build-tsan) and runs the test suite there:
#   bash scripts/tsan.sh [BUILD] [CTEST ARGS...]
# Any data race or lock-order inversion fails the test that caused it.
# The long loops run on the worker pool in every test; the suite is run
# with KMWB_THREADS unset and the pool's default (the machine's cores, at
# least two workers for the pool tests and the thread-count comparisons,
# which set their own counts).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-tsan}
shift || true
flags="-O1 -g -fsanitize=thread -fno-omit-frame-pointer"
cmake -S "$top" -B "$build" -DKMWB_TEST_TIMEOUT=3600 -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DKMWB_BENCH=OFF
cmake --build "$build" -j"$(nproc)"
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$top/scripts/tsan.supp"
unset KMWB_THREADS
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
