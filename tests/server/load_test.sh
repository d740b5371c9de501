#!/usr/bin/env bash
# Load over loopback: THREADS clients (default 8) send REPORTS distinct reports
# (default 10,000) to one server with no rate limit. Every report must be
# acknowledged, the table must then hold each of them exactly once and nothing
# else of the run, the JSON count must agree, and SIGTERM must end the server
# with status 0.
#   tests/server/load_test.sh SERVER LOAD_CLIENT sqlite|postgres
# Environment: VANTOREL_LOAD_REPORTS, VANTOREL_LOAD_THREADS.
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
kind=$3
. "$(dirname "$0")/common.sh"

load_settings "$kind"

start_server "$database" "$work/server.log" --rate 0
echo "load ($kind): $threads threads, $reports reports, server on port $server_port"
"$client" send --server "127.0.0.1:$server_port" --acked "$work/acked" --tag LD \
    --threads "$threads" --reports "$reports" --seconds 240 --require-all ||
    fail "not every report was acknowledged"
"$client" check --database "$database" --acked "$work/acked" --tag LD --exact \
    --server "127.0.0.1:$server_port" || fail "the table does not match the acknowledged reports"
stop_server
logged=$(grep -c 'version.pl' "$work/server.log" || true)
[ "$logged" -ge "$reports" ] || fail "the server logged $logged report requests, $reports were sent"
echo "load ($kind): passed"
