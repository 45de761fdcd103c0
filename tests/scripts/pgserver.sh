#!/usr/bin/env bash
# A throw-away PostgreSQL server for a test run, never the system's own:
#   pgserver.sh start DIR   makes DIR, a server's data folder in DIR/data, and starts the server
#                           listening on a socket in DIR only (no TCP port); user "postgres",
#                           no password, C collation
#   pgserver.sh stop DIR    stops that server and removes DIR
# initdb refuses to run as root, so as root the server runs as the user postgres.
set -euo pipefail
cmd=${1:-}
dir=${2:-}
if [ -z "$dir" ] || { [ "$cmd" != start ] && [ "$cmd" != stop ]; }; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
  echo "PostgreSQL is not installed (scripts/deps.sh installs it)" >&2
  exit 1
fi
owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case $cmd in
start)
  # A server left over from a run that was killed goes first.
  if [ -f "$dir/data/postmaster.pid" ]; then owner "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true; fi
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
  owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  # Durability is not what the tests are about; fsync off keeps a shared machine's disk quiet.
  owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  ;;
stop)
  if [ -f "$dir/data/postmaster.pid" ]; then owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true; fi
  rm -rf "$dir"
  ;;
esac
