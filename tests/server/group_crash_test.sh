#!/usr/bin/env bash
# Crash safety of group commit: many clients at once keep the writer committing
# large batches, and the server is killed with SIGKILL at a random moment, in
# several rounds on one database. After each round a new server must hold every
# report whose 200 was sent, exactly once (a report of the batch that was
# cut off may or may not be there, never twice).
#   tests/server/group_crash_test.sh SERVER LOAD_CLIENT sqlite|postgres
# Environment: VANTOREL_CRASH_ROUNDS (default 4), VANTOREL_CRASH_CLIENTS (default 32).
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
kind=$3
. "$(dirname "$0")/common.sh"

database=$(database_for "$kind")
rounds=${VANTOREL_CRASH_ROUNDS:-4}
clients=${VANTOREL_CRASH_CLIENTS:-32}
client_pid=""
extra_cleanup='[ -n "$client_pid" ] && kill -9 "$client_pid" 2>/dev/null'

for round in $(seq "$rounds"); do
    tag="G$round"
    start_server "$database" "$work/server$round.log" --rate 0 --threads "$clients"
    "$client" send --server "127.0.0.1:$server_port" --acked "$work/acked$round" --tag "$tag" \
        --threads "$clients" --reports 200000 --seconds 120 >"$work/client$round.log" 2>&1 &
    client_pid=$!
    # Wait for the first acknowledgements, then a random 0.2 to 1.7 s more: with
    # this many clients the writer is nearly always in the middle of a commit.
    for _ in $(seq 400); do
        [ -s "$work/acked$round" ] && break
        alive "$client_pid" || break
        sleep 0.05
    done
    sleep "$(printf '0.%03d' $((RANDOM % 1000)))"
    sleep 0.2
    [ "$((RANDOM % 2))" -eq 0 ] && sleep 0.5
    alive "$client_pid" || { cat "$work/client$round.log"; fail "round $round: the load ended before the kill"; }
    kill -9 "$server_pid"
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
    for _ in $(seq 600); do alive "$client_pid" || break; sleep 0.1; done
    alive "$client_pid" && fail "round $round: the clients did not finish within 60 s of the kill"
    wait "$client_pid" || { cat "$work/client$round.log"; fail "round $round: the load client failed"; }
    client_pid=""
    acked=$(wc -l <"$work/acked$round")
    [ "$acked" -gt 0 ] || fail "round $round: nothing was acknowledged before the kill"

    start_server "$database" "$work/check$round.log" --rate 0
    "$client" check --database "$database" --acked "$work/acked$round" --tag "$tag" ||
        fail "round $round: acknowledged reports were lost or doubled by the kill"
    # Every earlier round still holds, after the later crashes.
    for earlier in $(seq "$round"); do
        "$client" check --database "$database" --acked "$work/acked$earlier" --tag "G$earlier" \
            >/dev/null || fail "round $round: round $earlier's reports changed"
    done
    stop_server
    echo "group crash ($kind) round $round: killed with $acked acknowledged; $(head -1 "$work/client$round.log")"
done
echo "group crash ($kind): passed"
