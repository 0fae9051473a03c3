#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it with this folder as its working folder.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QCD_BUILD_TARGET=quelvox-contact-desk "$repo/scripts/setup.sh" "$repo/build"
cd "$repo"
exec "$repo/build/quelvox-contact-desk" "$@"
