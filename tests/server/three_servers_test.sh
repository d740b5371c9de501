#!/usr/bin/env bash
# Three vantorel-scored processes on one PostgreSQL database, 8 clients spread
# over them: the table holds every acknowledged report exactly once. Then the
# limits they share: a report repeated to another server is stored once, and
# one client's reports over the rate are refused however they are spread.
#   tests/server/three_servers_test.sh SERVER LOAD_CLIENT   (under with_postgres.sh)
# Environment: VANTOREL_LOAD_REPORTS (default 10,000, spread over the three).
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
. "$(dirname "$0")/common.sh"

database=$(database_for postgres)
reports=${VANTOREL_LOAD_REPORTS:-10000}
pids=()
ports=()
client_pids=()
extra_cleanup='for p in "${pids[@]}" "${client_pids[@]}"; do kill -9 "$p" 2>/dev/null; done'

# start_servers N [options]: N servers on the database, in pids and ports.
started=0
start_servers() {
    local n=$1 i
    shift
    pids=()
    ports=()
    for i in $(seq "$n"); do
        started=$((started + 1))
        start_server "$database" "$work/server$started.log" "$@"
        pids+=("$server_pid")
        ports+=("$server_port")
        server_pid=""
    done
}
stop_servers() {
    for p in "${pids[@]}"; do
        server_pid=$p
        stop_server
    done
    pids=()
}

start_servers 3 --rate 0
tags=(TA TB TC)
threads=(3 3 2)
for i in 0 1 2; do
    "$client" send --server "127.0.0.1:${ports[$i]}" --acked "$work/acked$i" --tag "${tags[$i]}" \
        --threads "${threads[$i]}" --reports $((reports / 3)) --seconds 240 --require-all \
        >"$work/client$i.log" 2>&1 &
    client_pids+=($!)
done
for i in 0 1 2; do
    wait "${client_pids[$i]}" || { cat "$work/client$i.log"; fail "client $i lost reports"; }
    echo "three servers: server $((i + 1)): $(head -1 "$work/client$i.log")"
done
client_pids=()
for i in 0 1 2; do
    "$client" check --database "$database" --acked "$work/acked$i" --tag "${tags[$i]}" --exact \
        --server "127.0.0.1:${ports[$i]}" || fail "server $((i + 1))'s reports are not all there once"
done
stop_servers

# The shared limits, with 3 reports a minute: each server alone would take 3
# from this client, 9 in all.
start_servers 3 --rate 3
count() {
    "$client" get --server "127.0.0.1:${ports[0]}" --path '/api/v1/scores?limit=1' |
        sed -n 's/.*"count":\([0-9]*\).*/\1/p'
}
before=$(count)
[ "$("$client" report --server "127.0.0.1:${ports[0]}" --name "Twice" --score 42 --add "")" = 200 ] ||
    fail "the first copy was refused"
[ "$("$client" report --server "127.0.0.1:${ports[1]}" --name "Twice" --score 42 --add "")" = 200 ] ||
    fail "the repeat to another server was not answered 200"
[ "$(count)" -eq $((before + 1)) ] || fail "a report repeated to another server was stored twice"
accepted=1
for i in $(seq 9); do
    status=$("$client" report --server "127.0.0.1:${ports[$((i % 3))]}" --name "Spread $i" --score "$i" --add "")
    [ "$status" = 200 ] && accepted=$((accepted + 1))
    [ "$status" = 200 ] || [ "$status" = 429 ] || fail "report $i got status $status"
done
# 3 a minute; one more if the run took over 20 s and a token came back.
[ "$accepted" -le 4 ] || fail "$accepted reports of one client were taken by three servers at 3 a minute"
[ "$accepted" -ge 3 ] || fail "only $accepted reports were taken at 3 a minute"
stop_servers
echo "three servers: passed ($accepted of 10 reports over the shared rate of 3 a minute taken)"
