#!/usr/bin/env bash
# The test cluster script without server binaries: it must say the server tests
# are skipped and why, exit with the runner's "skipped" code, and leave that
# line where the tests look for it; stop then removes the folder.
set -uo pipefail
script=$1
dir=$(mktemp -d)/cluster
fail() { echo "FAIL: $*"; exit 1; }

out=$(PGCLUSTER_BINDIR=/nonexistent/bin "$script" start "$dir")
rc=$?
[ "$rc" -eq 77 ] || fail "start without binaries exited $rc, not 77"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "more than one line: $out"
case "$out" in *skipped*/nonexistent/bin*) ;; *) fail "the line does not say skipped and where it looked: $out" ;; esac
[ "$(cat "$dir/skipped")" = "$out" ] || fail "the skipped file does not hold the line"
[ ! -e "$dir/url" ] || fail "a connection string was left without a cluster"
PGCLUSTER_BINDIR=/nonexistent/bin "$script" url "$dir" >/dev/null 2>&1 && fail "url answered without a cluster"
PGCLUSTER_BINDIR=/nonexistent/bin "$script" stop "$dir" || fail "stop failed"
[ ! -e "$dir" ] || fail "stop left $dir"
rmdir "$(dirname "$dir")"
echo "ok"
