#!/usr/bin/env bash
# Builds a release build and starts pension on a data directory (a demo one when none is given).
#   ./run.sh                 demo data in ./demo-data (created on first run)
#   ./run.sh DIR [/admin]    the data directory DIR
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
datadir="${1:-demo-data}"
shift || true
if [ ! -e "$datadir/pension.db" ]; then
  echo "Creating demo data in $datadir"
  "$build/bench/pension-gendata" --demo "$datadir"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start pension under a virtual display:" >&2
  echo "  xvfb-run -s '-screen 0 1280x900x24' ./run.sh $datadir" >&2
  echo "or set QT_QPA_PLATFORM=offscreen to run it without showing a window." >&2
  exit 2
fi
exec "$build/shell/pension" "$datadir" "$@"
