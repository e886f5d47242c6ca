#!/usr/bin/env bash
# test.sh [--sanitize] -- installs the dependencies, builds and runs every test.
# With --sanitize the build uses AddressSanitizer (LeakSanitizer on) and
# UndefinedBehaviorSanitizer, and any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=build
opts=(-DPXS_WERROR=ON -DPXS_BUILD_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  opts=(-DPXS_SANITIZE=ON -DPXS_WERROR=ON -DPXS_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
scripts/build.sh "$dir" "${opts[@]}"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
