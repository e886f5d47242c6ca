#!/usr/bin/env bash
# main-job.sh BUILD_DIR -- the library's everyday work on built-in data.
set -euo pipefail
bin=${1:-build}/tools
if [ -x "$bin/pxs-fom" ]; then
  "$bin/pxs-fom" --tree HLAstandardMIM.xml
elif [ -x "$bin/pxs" ]; then
  "$bin/pxs" -e '(+ 1 2)'
else
  echo "no tool built yet" >&2
  exit 1
fi
