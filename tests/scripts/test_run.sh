#!/usr/bin/env bash
# run.sh puts demo data only where it is asked for: a fund directory of one's own stays as it is.
# Usage: test_run.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src="$1"
export PENSION_BUILD_DIR="$2" QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
check() { # description, then the command that must succeed
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
cd "$tmp"

# A directory of one's own: no demo data; pension's --help ends it before any fund is opened.
"$src/run.sh" newfund --help >out.txt 2>&1
check "run.sh DIR passes its words on to pension" grep -q "usage: pension" out.txt
check "run.sh DIR makes no demo fund" test ! -e "$tmp/newfund/pension.db"
check "run.sh DIR makes no directory either" test ! -e "$tmp/newfund"

# Asked for: a demo fund, relative to where run.sh was started.
"$src/run.sh" --demo demo2 --help >out.txt 2>&1
check "run.sh --demo DIR fills DIR" test -s "$tmp/demo2/pension.db"
check "run.sh --demo DIR says so" grep -q "Creating demo data in" out.txt

# Unknown options and a --demo without its directory are refused.
"$src/run.sh" --bogus >out.txt 2>&1
check "run.sh refuses an unknown option" test $? -eq 2
check "run.sh names the unknown option" grep -q "unknown option --bogus" out.txt
"$src/run.sh" --demo >out.txt 2>&1
check "run.sh --demo needs a directory" test $? -eq 2
"$src/run.sh" --help >out.txt 2>&1
check "run.sh --help answers" grep -q -- "--demo DIR" out.txt
check "nothing else was made" test "$(ls "$tmp")" = "$(printf 'demo2\nout.txt')"
exit $failed
