#!/usr/bin/env bash
# A connection flood: 1,000 connections from 40 loopback addresses, half silent and
# half trickling a header byte a second, held for 12 s (each opened again once the
# server closes it), while 1,000 reports are sent and /healthz is asked every 10 ms.
# Every report must be stored, /healthz answered with p99 under 100 ms and the
# slow connections closed by the 5 s header deadline; prints the figures.
#   tests/server/flood_test.sh SERVER LOAD_CLIENT FLOOD_CLIENT [sqlite|postgres]
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
flood=$(realpath "$3")
kind=${4:-sqlite}
. "$(dirname "$0")/common.sh"

# The flood's sockets and the server's, each in its own process.
ulimit -n 8192 2>/dev/null || ulimit -n "$(ulimit -Hn)"
database=$(database_for "$kind")
start_server "$database" "$work/server.log" --rate 0
"$flood" --server "127.0.0.1:$server_port" --pid "$server_pid" --connections 1000 \
    --addresses 40 --seconds 12 --header-deadline 5 --p99-ms 100 >"$work/flood.out" 2>&1 &
flood_pid=$!
extra_cleanup='kill $flood_pid 2>/dev/null || true'
sleep 2
"$client" send --server "127.0.0.1:$server_port" --acked "$work/acked" --tag FL \
    --threads 4 --reports 1000 --seconds 60 --require-all ||
    fail "not every report was acknowledged under the flood"
flood_rc=0
wait "$flood_pid" || flood_rc=$?
cat "$work/flood.out"
[ "$flood_rc" -eq 0 ] || fail "the flood's figures are off (above)"
"$client" check --database "$database" --acked "$work/acked" --tag FL --exact ||
    fail "the table does not match the acknowledged reports"
started=$(date +%s%N)
stop_server
echo "flood: SIGTERM to exit in $((($(date +%s%N) - started) / 1000000)) ms"
echo "flood: passed"
