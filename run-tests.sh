#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$repo/build-tests"
"$repo/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DQCD_WERROR=ON -DQCD_SANITIZE=ON
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
