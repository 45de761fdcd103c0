#!/usr/bin/env bash
# Builds a debug build with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DPENSION_SANITIZE=ON >/dev/null
cmake --build "$build" -j2
export QT_QPA_PLATFORM=offscreen TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$build" --output-on-failure -j2
