#!/usr/bin/env bash
# fuzz.sh [SECONDS] -- builds every libFuzzer target with clang (ASan+UBSan)
# and runs each for SECONDS (default 60), one after the other. New inputs go
# to fuzz/work/<target>/, crashes to fuzz/work/crash-<target>-*; the summary
# line of each run (executions, corpus size) is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++ >/dev/null || { sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq clang libclang-rt-14-dev; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPXS_BUILD_FUZZ=ON -DPXS_BUILD_TESTS=OFF \
  -DPXS_BUILD_BENCH=OFF -DPXS_BUILD_TOOLS=OFF -DPXS_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"
summary=()
for src in fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  [ "$name" = replay ] && continue
  mkdir -p "fuzz/work/$name"
  dict=()
  case "$name" in
    pxs*|envPxs|fed13) dict=(-dict=fuzz/pxs.dict) ;;
    envXml) dict=(-dict=fuzz/xml.dict) ;;
    fdd1516|fom1516e) dict=(-dict=fuzz/fdd.dict) ;;
  esac
  log="fuzz/work/$name.log"
  set +e
  "build-fuzz/fuzz/$name" "fuzz/work/$name" "fuzz/corpus/$name" "${dict[@]}" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -close_fd_mask=3 \
    -artifact_prefix="fuzz/work/crash-$name-" >"$log" 2>&1
  rc=$?
  set -e
  line=$(grep -E '^(#[0-9]+\s+DONE|Done [0-9]+ runs)' "$log" | tail -1)
  summary+=("$name (exit $rc): ${line:-see $log}")
done
printf '%s\n' "${summary[@]}"
