#!/usr/bin/env bash
# Installs the Debian packages the editor and its tests need (when missing), then configures and
# builds into the given build folder. Usage: scripts/setup.sh BUILD_DIR [cmake options...]
# QCD_BUILD_TARGET names a single target to build instead of everything.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:?build folder}
shift

# xvfb and xdotool: the end-to-end test drives the built editor under a private X server.
packages=(cmake ninja-build g++ qtbase5-dev qtbase5-dev-tools libqt5svg5-dev fonts-wqy-microhei
          xvfb xdotool)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "These packages are missing. Install them, then run this command again:"
    echo "sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

cmake -S "$repo" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" ${QCD_BUILD_TARGET:+--target "$QCD_BUILD_TARGET"}
mkdir -p "$repo/app" "$repo/target"
