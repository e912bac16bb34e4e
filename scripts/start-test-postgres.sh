#!/usr/bin/env bash
# Starts a private PostgreSQL server for the data set tests: its cluster lives under DIR (or, when the
# server's user cannot write there, under a folder of its own in /tmp), it listens on a Unix socket in
# a folder of its own and on no TCP port, and it trusts local connections (nothing else can reach it).
#
#   start-test-postgres.sh start DIR   start (or reuse) the server; writes DIR/status
#   start-test-postgres.sh stop DIR    stop the server started for DIR
#
# DIR/address holds the address the tests and kvtool open ("postgresql:///kvtest?host=SOCKETDIR&
# user=kvtest"). DIR/status holds "ready" or "unavailable: <why>"; the tests read it and skip the
# PostgreSQL cases with that message when it is not ready. Starting exits 0 even when the server
# cannot run, so that the other tests still run, except under CI (CI=true), which must exercise it.
#
# The server refuses to run as root: as root it runs as the unprivileged user "postgres" (runuser),
# otherwise as the current user.
set -uo pipefail

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
status="$dir/status"
user=kvtest
db=kvtest

if [ "$(id -u)" -eq 0 ]; then
  runas=(runuser -u postgres --)
else
  runas=()
fi
as_server() { "${runas[@]}" "$@"; }

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bindir" ] || bindir=$(dirname "$(command -v pg_ctl 2>/dev/null || echo /nonexistent/pg_ctl)")

# The cluster and the socket go under DIR when the server's user can own a folder there; otherwise
# (a build tree under a private home, say) under /tmp in folders named after DIR. A Unix socket
# path is limited to 107 bytes, so a deep DIR also moves the socket to /tmp.
hash=$(printf '%s' "$dir" | md5sum | cut -c1-12)
place() {
  local inside=$1 outside=$2
  mkdir -p "$inside" 2>/dev/null
  if [ ${#runas[@]} -gt 0 ]; then chown postgres: "$inside" 2>/dev/null; fi
  if as_server test -w "$inside" 2>/dev/null && as_server test -x "$inside" 2>/dev/null; then
    echo "$inside"
  else
    rmdir "$inside" 2>/dev/null
    mkdir -p "$outside" && chmod 700 "$outside"
    if [ ${#runas[@]} -gt 0 ]; then chown postgres: "$outside"; fi
    echo "$outside"
  fi
}

unavailable() {
  echo "unavailable: $*" >"$status"
  echo "start-test-postgres: PostgreSQL tests will be skipped: $*" >&2
  if [ "${CI:-}" = "true" ]; then exit 1; fi
  exit 0
}

cluster_of() { [ -f "$dir/cluster" ] && cat "$dir/cluster"; }

stop() {
  local cluster
  cluster=$(cluster_of)
  if [ -n "$cluster" ] && [ -f "$cluster/postmaster.pid" ] && [ -x "$bindir/pg_ctl" ]; then
    as_server "$bindir/pg_ctl" -D "$cluster" -m fast -w -t 20 stop >/dev/null 2>&1
  fi
}

if [ "$action" = stop ]; then
  stop
  echo "stopped" >"$status"
  exit 0
fi
[ "$action" = start ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

[ -x "$bindir/initdb" ] && [ -x "$bindir/pg_ctl" ] || unavailable "the PostgreSQL server is not installed (package postgresql)"
if [ ${#runas[@]} -gt 0 ]; then
  id postgres >/dev/null 2>&1 || unavailable "running as root and there is no user postgres to run the server as"
  command -v runuser >/dev/null 2>&1 || unavailable "running as root and runuser is missing"
fi

cluster=$(place "$dir/cluster.d" "/tmp/kv-pg-$hash/cluster")
socket=$(place "$dir/socket.d" "/tmp/kv-pg-$hash/socket")
[ ${#socket} -lt 90 ] || socket=$(place "/tmp/kv-pg-$hash-socket" "/tmp/kv-pg-$hash-socket")
echo "$cluster" >"$dir/cluster"
log="$cluster/server.log"

stop
if [ ! -f "$cluster/PG_VERSION" ]; then
  as_server "$bindir/initdb" -D "$cluster" -U "$user" -A trust -E UTF8 --locale=C --no-sync \
    >"$dir/initdb.log" 2>&1 || unavailable "initdb failed: $(tail -n 3 "$dir/initdb.log" | tr '\n' ' ')"
fi
# Only the private socket; fsync off because the cluster is thrown away.
as_server "$bindir/pg_ctl" -D "$cluster" -l "$log" -w -t 30 \
  -o "-c listen_addresses='' -k $socket -c fsync=off -c full_page_writes=off" start >"$dir/pg_ctl.log" 2>&1 ||
  unavailable "the server did not start: $(tail -n 3 "$log" "$dir/pg_ctl.log" 2>/dev/null | tr '\n' ' ')"

if ! as_server "$bindir/psql" -h "$socket" -U "$user" -d postgres -tAc "select 1 from pg_database where datname = '$db'" 2>/dev/null | grep -q 1; then
  as_server "$bindir/createdb" -h "$socket" -U "$user" "$db" >"$dir/createdb.log" 2>&1 ||
    unavailable "createdb failed: $(tr '\n' ' ' <"$dir/createdb.log")"
fi
echo "postgresql:///$db?host=$socket&user=$user" >"$dir/address"
echo "ready" >"$status"
echo "start-test-postgres: PostgreSQL ready at $socket (database $db, user $user)"
