#!/usr/bin/env bash
# The engines side by side: runs vorn_engines_bench on the encrypted file and on a
# throwaway PostgreSQL cluster (started here, a fresh database, stopped at the end),
# on the same generated shop, and prints one table: file and server per figure.
#
#   scripts/bench-engines.sh [--units N] [--rounds R]
#
# N: generated goods units (default 100,000); R: rounds per figure (default 10).
# BUILD_DIR names the build folder holding bin/vorn_engines_bench (default
# build-bench). The runs' own output goes to /tmp/vorn-engines-bench-N/{file,server}.log.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
bin=$build/bin/vorn_engines_bench
units=100000
rounds=10
while [ $# -gt 0 ]; do
  case "$1" in
  --units) units=$2; shift 2 ;;
  --rounds) rounds=$2; shift 2 ;;
  *) echo "usage: $0 [--units N] [--rounds R]" >&2; exit 2 ;;
  esac
done
if [ ! -x "$bin" ]; then
  echo "no $bin: build it first (cmake --build $build --target vorn_engines_bench)" >&2
  exit 1
fi

out=/tmp/vorn-engines-bench-$units
mkdir -p "$out"
cluster=$(mktemp -d /tmp/pg-engines-XXXXXX)
trap 'bash "$here/scripts/pgcluster.sh" stop "$cluster" >/dev/null 2>&1 || true' EXIT
set +e
url=$(bash "$here/scripts/pgcluster.sh" start "$cluster")
rc=$?
set -e
if [ $rc -ne 0 ]; then
  # 77: no server binaries; pgcluster.sh said so.
  echo "$url" >&2
  exit $rc
fi
url=$(tail -n 1 <<<"$url")
# The throwaway cluster skips flushing to disk, which no shop's server does:
# the bench measures a durable one (a commit waits for its flush, as the file's does).
psql "$url" -q -v ON_ERROR_STOP=1 -c "ALTER SYSTEM SET fsync = on" -c "ALTER SYSTEM SET synchronous_commit = on" \
  -c "ALTER SYSTEM SET full_page_writes = on" -c "SELECT pg_reload_conf()" >/dev/null
psql "$url" -q -v ON_ERROR_STOP=1 \
  -c "CREATE DATABASE vornbench TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'"

echo "file engine ..." >&2
"$bin" --units "$units" --rounds "$rounds" --figures >"$out/file.log"
echo "server engine ..." >&2
"$bin" --units "$units" --rounds "$rounds" --figures --server "$url dbname=vornbench" >"$out/server.log"

shop=$(grep -m1 '^shop:' "$out/file.log" || true)
echo "Vornmart engines bench: $units generated units, $rounds rounds; ${shop#shop: }"
echo "wall time per figure in ms: median (90th percentile); the server is a local durable cluster on a Unix socket"
awk -F'\t' '
  FNR == 1 { run++ }
  $1 == "FIGURE" {
    if (!($2 in seen)) { seen[$2] = 1; order[++n] = $2; target[$2] = $4 }
    value[run, $2] = $3
    p90[run, $2] = $5
  }
  END {
    printf "%-50s %16s %16s  %s\n", "figure", "file", "server", "target (server median)"
    for (i = 1; i <= n; i++) {
      f = order[i]
      t = target[f] + 0
      verdict = t > 0 ? sprintf("< %g ms %s", t, (value[2, f] + 0 < t) ? "ok" : "MISSED") : ""
      printf "%-50s %16s %16s  %s\n", f, value[1, f] " (" p90[1, f] ")", value[2, f] " (" p90[2, f] ")", verdict
    }
  }' "$out/file.log" "$out/server.log"
