#!/usr/bin/env bash
# run.sh -- installs the dependencies, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DPXS_BUILD_TESTS=OFF -DPXS_BUILD_BENCH=OFF
exec scripts/main-job.sh build
