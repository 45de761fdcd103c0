#!/usr/bin/env bash
# Builds a release build and starts pension on a data directory.
#   ./run.sh                    the demo fund in ./demo-data (filled with demo data on first run)
#   ./run.sh --demo DIR [...]   a demo fund in DIR (filled with demo data when DIR has no fund)
#   ./run.sh DIR [/admin] [...] the fund in DIR; pension asks before it makes a new, empty one
# Words after DIR go to pension (/admin, --create, --help).
# PENSION_BUILD_DIR names an existing build to use as it is (nothing is installed or built).
set -euo pipefail
given=("$@")
start="$PWD"
cd "$(dirname "$0")"
usage() {
  sed -n '3,7s/^# \{0,1\}//p' "$0"
}
demo=0
case "${1:-}" in
  -h|--help) usage; exit 0 ;;
  --demo)
    if [ $# -lt 2 ]; then echo "run.sh: --demo needs a directory" >&2; usage >&2; exit 2; fi
    demo=1; datadir="$2"; shift 2 ;;
  "") demo=1; datadir=demo-data ;;
  -*) echo "run.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
  *) datadir="$1"; shift ;;
esac
# DIR is taken from where run.sh was started; the default demo fund lives beside this script.
case "$datadir" in
  /*|demo-data) ;;
  *) datadir="$start/$datadir" ;;
esac
# Naming the default demo directory is asking for the demo.
[ "$(realpath -m "$datadir")" = "$(realpath -m demo-data)" ] && demo=1

if [ -n "${PENSION_BUILD_DIR:-}" ]; then
  build="$PENSION_BUILD_DIR"
else
  bash scripts/deps.sh
  build=build/release
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2
fi
# A debug build puts its programs in bin/, a release build beside their sources.
program() {
  if [ -x "$build/bin/$1" ]; then echo "$build/bin/$1"; else echo "$build/$2/$1"; fi
}

if [ "$demo" = 1 ] && [ ! -e "$datadir/pension.db" ]; then
  echo "Creating demo data in $datadir"
  "$(program pension-gendata bench)" --demo "$datadir"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start pension under a virtual display:" >&2
  echo "  xvfb-run -s '-screen 0 1280x900x24' $0 ${given[*]}" >&2
  echo "or set QT_QPA_PLATFORM=offscreen to run it without showing a window." >&2
  exit 2
fi
exec "$(program pension shell)" "$datadir" "$@"
