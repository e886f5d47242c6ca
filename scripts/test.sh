#!/usr/bin/env bash
# test.sh [--sanitize|--tsan] -- installs the dependencies, builds and runs
# every test. With --sanitize the build uses AddressSanitizer (LeakSanitizer
# on) and UndefinedBehaviorSanitizer, and any report fails the run. With
# --tsan only the threaded tests are built, under ThreadSanitizer.
# Tests are always configured on (a build directory left by run.sh has them
# off), and a run in which no test ran fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=build
opts=(-DPXS_WERROR=ON -DPXS_BUILD_TESTS=ON -DPXS_BUILD_TOOLS=ON -DPXS_BUILD_BENCH=ON
      -DPXS_TESTS_MATCHING=)
case "${1:-}" in
  --sanitize)
    dir=build-sanitize
    opts=(-DPXS_SANITIZE=ON -DPXS_WERROR=ON -DPXS_BUILD_TESTS=ON -DPXS_BUILD_TOOLS=ON
          -DPXS_BUILD_BENCH=OFF -DPXS_TESTS_MATCHING=)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --tsan)
    dir=build-tsan
    opts=(-DPXS_SANITIZE_THREAD=ON -DPXS_WERROR=ON -DPXS_BUILD_TESTS=ON -DPXS_BUILD_TOOLS=OFF
          -DPXS_BUILD_BENCH=OFF -DPXS_BUILD_EXAMPLES=OFF -DPXS_TESTS_MATCHING=threads)
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--sanitize|--tsan]" >&2; exit 2 ;;
esac
scripts/build.sh "$dir" "${opts[@]}"
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)"
