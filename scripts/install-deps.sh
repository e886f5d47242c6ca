#!/usr/bin/env bash
# Installs the Debian packages the project builds with. Safe to run again.
set -euo pipefail
packages=(cmake g++ make pkg-config libxml2-dev libxml2-utils libboost-dev libtclap-dev
          googletest libgtest-dev libbenchmark-dev libedit-dev python3 python3-jsonschema)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
