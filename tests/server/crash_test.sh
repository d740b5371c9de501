#!/usr/bin/env bash
# Crash safety: clients send reports while the server is killed with SIGKILL in
# the middle of the load; a new server on the same database must still hold every
# acknowledged report exactly once (an unacknowledged one may or may not be
# there, but never twice), answer /healthz, and take new reports.
#   tests/server/crash_test.sh SERVER LOAD_CLIENT sqlite|postgres
# Environment: VANTOREL_LOAD_REPORTS (default 10,000), VANTOREL_LOAD_THREADS.
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
kind=$3
. "$(dirname "$0")/common.sh"

load_settings "$kind"
kill_after=$((reports / 4))
client_pid=""
extra_cleanup='[ -n "$client_pid" ] && kill -9 "$client_pid" 2>/dev/null'

start_server "$database" "$work/server1.log" --rate 0
"$client" send --server "127.0.0.1:$server_port" --acked "$work/acked" --tag CR \
    --threads "$threads" --reports "$reports" --seconds 240 >"$work/client.log" 2>&1 &
client_pid=$!

# The kill lands once a quarter of the reports are acknowledged, while the
# clients are still sending.
for _ in $(seq 1200); do
    [ -f "$work/acked" ] && [ "$(wc -l <"$work/acked")" -ge "$kill_after" ] && break
    alive "$client_pid" || break
    sleep 0.05
done
alive "$client_pid" || { cat "$work/client.log"; fail "the load ended before the kill"; }
kill -9 "$server_pid"
wait "$server_pid" 2>/dev/null || true
server_pid=""
at_kill=$(wc -l <"$work/acked")

for _ in $(seq 600); do alive "$client_pid" || break; sleep 0.1; done
alive "$client_pid" && fail "the clients did not finish within 60 s of the kill"
wait "$client_pid" || { cat "$work/client.log"; fail "the load client failed"; }
client_pid=""
cat "$work/client.log"
acked=$(wc -l <"$work/acked")
[ "$acked" -lt "$reports" ] || fail "all $reports reports were acknowledged: the kill came too late"
echo "crash ($kind): killed with $at_kill reports acknowledged, $acked in all before the clients saw it"

start_server "$database" "$work/server2.log" --rate 0
"$client" check --database "$database" --acked "$work/acked" --tag CR \
    --server "127.0.0.1:$server_port" || fail "acknowledged reports were lost or doubled by the crash"
[ "$("$client" get --server "127.0.0.1:$server_port" --path /healthz | head -1)" = 200 ] ||
    fail "the restarted server's /healthz did not answer 200"
[ "$("$client" report --server "127.0.0.1:$server_port" --name "After Crash" --score 1 --add "")" = 200 ] ||
    fail "the restarted server refused a new report"
"$client" send --server "127.0.0.1:$server_port" --acked "$work/acked2" --tag CR2 \
    --threads 2 --reports 200 --seconds 60 --require-all || fail "the restarted server lost reports"
"$client" check --database "$database" --acked "$work/acked2" --tag CR2 --exact ||
    fail "the restarted server's new reports do not match"
stop_server
echo "crash ($kind): passed"
