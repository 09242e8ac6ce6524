#!/usr/bin/env bash
# Builds the test build (AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# every test with CTest; then builds the fuzz targets with clang and runs each
# for a fixed time. Exits non-zero on any failure.
#   TV_FUZZ_SECONDS=N  seconds per fuzz target (default 60; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_TEST_PACKAGES

jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${TV_FUZZ_SECONDS:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt's own libraries are not built with the sanitizers; their one-time
# allocations are not ours to chase.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}

echo "== test build (ASan + UBSan)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DTV_BUILD_TESTS=ON -DTV_SANITIZE=ON \
      -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build build/test -j "$jobs"
status=0
(cd build/test && ctest --output-on-failure -j "$jobs") || status=1

if [ "$fuzz_seconds" != "0" ]; then
  echo "== fuzz build (clang libFuzzer, ${fuzz_seconds}s per target)"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_FUZZ=ON \
        -DTV_FUZZ_SECONDS="$fuzz_seconds" >/dev/null
  cmake --build build/fuzz -j "$jobs"
  (cd build/fuzz && ctest --output-on-failure -j "$jobs" -L fuzz) || status=1
fi
exit $status
