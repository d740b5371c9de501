#!/usr/bin/env bash
# Replay verification shared by two vantorel-scored processes on one PostgreSQL:
# each claims jobs with FOR UPDATE SKIP LOCKED, so every job is played back and
# recorded once whichever server took the upload; and a server killed in the
# middle of a job leaves it to the other, which does it exactly once.
#   tests/server/replay_queue_test.sh SERVER   (under with_postgres.sh)
# The verifier is fake_replay_verifier.sh in its "slow" mode: it leaves a file
# started.PID in the data folder when it starts, then answers after a delay.
set -euo pipefail
server=$(realpath "$1")
. "$(dirname "$0")/common.sh"

verifier=$(realpath "$(dirname "$0")/fake_replay_verifier.sh")
database=$(database_for postgres)
marks=$work/marks
mkdir -p "$marks"
replay_options=(--rate 0 --replay-verifier "$verifier" --replay-data "$marks")
other_pid=""
extra_cleanup='[ -n "$other_pid" ] && kill -9 "$other_pid" 2>/dev/null'

# upload PORT NAME SCORE DELAY: sends a replay of that game; prints its id.
upload() {
    printf 'VANTOREL-REPLAY\nmode slow\nscore %s\nname %s\nadd q\ndelay %s\n' "$3" "$2" "$4" \
        >"$work/replay"
    curl -sS --fail -X POST --data-binary @"$work/replay" \
        -H 'Content-Type: application/octet-stream' "http://127.0.0.1:$1/api/v1/replays" |
        sed -n 's/^{"replay":\([0-9]*\),"state":"queued"}$/\1/p'
}

# state PORT ID: the job's state (queued, verified or refused).
state() {
    curl -sS "http://127.0.0.1:$1/api/v1/replays/$2/state" | sed -n 's/.*"state":"\([a-z]*\)".*/\1/p'
}

# wait_done PORT ID...: until every job is no longer queued (60 s at most).
wait_done() {
    local port=$1 id
    shift
    for id in "$@"; do
        for _ in $(seq 600); do
            [ "$(state "$port" "$id")" != queued ] && continue 2
            sleep 0.1
        done
        fail "replay $id is still queued after 60 s"
    done
}

# verified_rows PORT NAME: how many verified rows of that name the table shows.
verified_rows() {
    curl -sS "http://127.0.0.1:$1/api/v1/scores?verified=1&limit=1000" | grep -o "\"name\":\"$2\"" |
        wc -l
}

# ---- Two servers, one queue: every job once ------------------------------------
start_server "$database" "$work/a.log" "${replay_options[@]}"
port_a=$server_port
pid_a=$server_pid
start_server "$database" "$work/b.log" "${replay_options[@]}"
port_b=$server_port
other_pid=$server_pid
server_pid=$pid_a

ids=()
for i in 1 2 3 4 5 6; do
    port=$port_a
    [ $((i % 2)) -eq 0 ] && port=$port_b
    id=$(upload "$port" "Q$i" $((100 * i)) 1)
    [ -n "$id" ] || fail "upload $i was not queued"
    ids+=("$id")
done
wait_done "$port_a" "${ids[@]}"
for i in 1 2 3 4 5 6; do
    id=${ids[$((i - 1))]}
    [ "$(state "$port_b" "$id")" = verified ] || fail "replay $id is not verified"
    [ "$(verified_rows "$port_a" "Q$i")" -eq 1 ] || fail "Q$i is not one verified row"
    done_by=$(cat "$work/a.log" "$work/b.log" | grep -c "VERIFY /api/v1/replays/$id " || true)
    [ "$done_by" -eq 1 ] || fail "replay $id was recorded $done_by times"
done
started=$(find "$marks" -name 'started.*' | wc -l)
[ "$started" -eq 6 ] || fail "6 jobs were played back $started times"
echo "two servers: 6 jobs, each played and recorded once" \
    "(server A $(grep -c VERIFY "$work/a.log" || true), server B $(grep -c VERIFY "$work/b.log" || true))"

# ---- A server killed in the middle of a job --------------------------------------
# B stops, so that A takes the job; A is killed while its verifier plays it.
server_pid=$other_pid
other_pid=""
stop_server
server_pid=$pid_a
rm -f "$marks"/started.*
id=$(upload "$port_a" Killed 777 5)
[ -n "$id" ] || fail "the upload was not queued"
for _ in $(seq 200); do
    [ -n "$(find "$marks" -name 'started.*')" ] && break
    sleep 0.1
done
child=$(find "$marks" -name 'started.*' | sed 's/.*started\.//')
[ -n "$child" ] || fail "server A did not start the job within 20 s"
kill -9 "$server_pid"
wait "$server_pid" 2>/dev/null || true
server_pid=""
# The verifier dies with the server that started it.
for _ in $(seq 50); do
    alive "$child" || break
    sleep 0.1
done
alive "$child" && fail "the killed server's verifier (pid $child) is still running"

start_server "$database" "$work/b2.log" "${replay_options[@]}"
wait_done "$server_port" "$id"
[ "$(state "$server_port" "$id")" = verified ] || fail "the job of the killed server is not verified"
[ "$(verified_rows "$server_port" Killed)" -eq 1 ] || fail "the killed server's game is not one row"
grep -q "VERIFY /api/v1/replays/$id " "$work/a.log" && fail "the killed server recorded the job"
grep -c "VERIFY /api/v1/replays/$id " "$work/b2.log" | grep -qx 1 ||
    fail "the job was not recorded once by the other server"
echo "killed mid-job: the other server played it again and recorded it once"
stop_server
echo "PASS"
