#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the server tests.
#
#   pgcluster.sh start <dir>   initdb a cluster, start it on a free port with its socket
#                              beside it (no TCP), wait until it answers, and print the
#                              connection string (also kept in <dir>/url)
#   pgcluster.sh url <dir>     print the connection string of a started cluster
#   pgcluster.sh stop <dir>    stop the cluster and remove <dir>
#
# The cluster itself lives in a folder of its own under /tmp (named in
# <dir>/home): the "postgres" user must reach it, which a checkout under a
# closed home folder would not allow, and its socket path must stay short.
# The server refuses to run as root, so under root the cluster belongs to the
# "postgres" system user. Without the server binaries, start exits 77 (the test
# runner's "skipped") with one line saying why, and leaves that line in
# <dir>/skipped so the tests that need the cluster can skip with it too.
# PGCLUSTER_BINDIR, when set, is the only place the binaries are looked for.
set -euo pipefail

usage() { echo "usage: $0 start|stop|url <dir>" >&2; exit 2; }
[ $# -eq 2 ] || usage
cmd=$1
dir=$2

find_bindir() {
  local b
  # PGCLUSTER_BINDIR names the binaries' folder outright (and only it).
  if [ -n "${PGCLUSTER_BINDIR:-}" ]; then
    if [ -x "$PGCLUSTER_BINDIR/initdb" ] && [ -x "$PGCLUSTER_BINDIR/pg_ctl" ]; then echo "$PGCLUSTER_BINDIR"; return 0; fi
    return 1
  fi
  if command -v pg_config >/dev/null 2>&1; then
    b=$(pg_config --bindir 2>/dev/null || true)
    if [ -n "$b" ] && [ -x "$b/initdb" ] && [ -x "$b/pg_ctl" ]; then echo "$b"; return 0; fi
  fi
  # Debian keeps the server binaries per major version, outside PATH.
  for b in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k5,5 -n -r); do
    if [ -x "$b/initdb" ] && [ -x "$b/pg_ctl" ]; then echo "$b"; return 0; fi
  done
  return 1
}

# Runs a command as the cluster's owner: ourselves, or "postgres" under root.
as_owner() {
  if [ "$(id -u)" -ne 0 ]; then
    "$@"
  elif command -v runuser >/dev/null 2>&1; then
    runuser -u postgres -- "$@"
  else
    setpriv --reuid=postgres --regid=postgres --init-groups -- "$@"
  fi
}

home=""
[ -f "$dir/home" ] && home=$(cat "$dir/home")

port_free() {
  # Nothing listening on TCP there, and no socket of that number in our folder.
  ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && [ ! -e "$home/.s.PGSQL.$1" ]
}

stop_cluster() {
  local bindir=$1
  if [ -n "$home" ] && [ -f "$home/data/postmaster.pid" ]; then
    as_owner "$bindir/pg_ctl" -D "$home/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
}

case "$cmd" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  rm -f "$dir/skipped" "$dir/url"
  if ! bindir=$(find_bindir); then
    where="through pg_config or under /usr/lib/postgresql"
    [ -n "${PGCLUSTER_BINDIR:-}" ] && where="in $PGCLUSTER_BINDIR"
    line="server tests skipped: no PostgreSQL server binaries (initdb, pg_ctl) found $where; scripts/setup.sh installs them"
    echo "$line" | tee "$dir/skipped"
    exit 77
  fi
  # A cluster left behind by an interrupted run goes first.
  stop_cluster "$bindir"
  [ -n "$home" ] && rm -rf "$home"
  home=$(mktemp -d /tmp/vorn-pg-XXXXXX)
  chmod 755 "$home"
  echo "$home" >"$dir/home"
  if [ "$(id -u)" -eq 0 ]; then
    if ! id postgres >/dev/null 2>&1; then
      echo "pgcluster: running as root and there is no 'postgres' user to own the cluster" >&2
      exit 1
    fi
    chown postgres: "$home"
  fi
  as_owner "$bindir/initdb" -D "$home/data" -U vorn --auth=trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 || {
    echo "pgcluster: initdb failed:" >&2; cat "$dir/initdb.log" >&2; exit 1; }
  # A throwaway cluster needs no durability: without fsync each test's
  # CREATE DATABASE costs milliseconds instead of a flush.
  cat >>"$home/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$home'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 100
EOF
  started=0
  for _ in 1 2 3 4 5 6 7 8; do
    port=$(( 20000 + RANDOM % 40000 ))
    port_free "$port" || continue
    if as_owner "$bindir/pg_ctl" -D "$home/data" -l "$home/log" -o "-p $port" -w -t 60 start >/dev/null; then
      started=1
      break
    fi
  done
  if [ "$started" -ne 1 ]; then
    echo "pgcluster: the server did not start; its log:" >&2
    cat "$home/log" >&2 2>/dev/null || true
    exit 1
  fi
  url="host=$home port=$port user=vorn dbname=postgres"
  # pg_ctl -w waits for the server; make sure it takes our connections too.
  ready=0
  for _ in $(seq 1 300); do
    if "$bindir/pg_isready" -q -h "$home" -p "$port" -U vorn -d postgres; then ready=1; break; fi
    sleep 0.1
  done
  if [ "$ready" -ne 1 ]; then
    echo "pgcluster: the server started but does not accept connections; its log:" >&2
    cat "$home/log" >&2 2>/dev/null || true
    exit 1
  fi
  echo "$url" >"$dir/url"
  echo "$url"
  ;;
url)
  if [ ! -f "$dir/url" ]; then echo "pgcluster: no cluster started in $dir" >&2; exit 1; fi
  cat "$dir/url"
  ;;
stop)
  if [ -d "$dir" ]; then
    if bindir=$(find_bindir); then
      stop_cluster "$bindir"
    fi
    [ -n "$home" ] && rm -rf "$home"
    rm -rf "$dir"
  fi
  ;;
*)
  usage
  ;;
esac
