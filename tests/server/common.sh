# Shared by the score server's whole-system scripts: a work folder, starting and
# stopping vantorel-scored, and failing with a message. Source it after setting
# server (the vantorel-scored binary).

work=$(mktemp -d)
server_pid=""
server_port=""
cleanup() {
    if [ -n "$server_pid" ]; then
        kill -9 "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    [ -n "${extra_cleanup:-}" ] && eval "$extra_cleanup" || true
    rm -rf "$work"
}
trap cleanup EXIT

# alive PID: running, not a zombie waiting for its parent's wait.
alive() {
    local state
    [ -r "/proc/$1/stat" ] || return 1
    read -r _ _ state _ <"/proc/$1/stat" || return 1
    [ "$state" != Z ]
}

fail() {
    echo "FAIL: $*"
    exit 1
}

# start_server DATABASE LOG [more options]: starts the server on a free port of
# 127.0.0.1 and waits (at most 20 s) for "listening on HOST:PORT", the first line
# of its standard output (LOG; standard error goes to LOG.err).
start_server() {
    local database=$1 log=$2
    shift 2
    : >"$log"
    "$server" --listen 127.0.0.1:0 --database "$database" "$@" >"$log" 2>"$log.err" &
    server_pid=$!
    server_port=""
    for _ in $(seq 200); do
        server_port=$(sed -n '1s/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$log")
        [ -n "$server_port" ] && return 0
        alive "$server_pid" || { cat "$log" "$log.err"; fail "the server ended at start-up"; }
        sleep 0.1
    done
    cat "$log" "$log.err"
    fail "the server printed no 'listening on' line within 20 s"
}

# stop_server: SIGTERM, then the exit status must be 0 within 20 s.
stop_server() {
    kill -TERM "$server_pid"
    for _ in $(seq 200); do
        alive "$server_pid" || break
        sleep 0.1
    done
    alive "$server_pid" && fail "the server did not stop within 20 s of SIGTERM"
    local rc=0
    wait "$server_pid" || rc=$?
    server_pid=""
    [ "$rc" -eq 0 ] || fail "the server ended with status $rc after SIGTERM"
}

# load_settings KIND: the load and crash tests' reports (VANTOREL_LOAD_REPORTS,
# default 10,000), client threads (VANTOREL_LOAD_THREADS, default 8) and database.
load_settings() {
    reports=${VANTOREL_LOAD_REPORTS:-10000}
    threads=${VANTOREL_LOAD_THREADS:-8}
    database=$(database_for "$1")
}

# database_for KIND: a SQLite file in the work folder, or the throwaway
# PostgreSQL that with_postgres.sh started.
database_for() {
    case "$1" in
    sqlite) echo "$work/scores.sqlite" ;;
    postgres)
        [ -n "${VANTOREL_TEST_PG:-}" ] || fail "VANTOREL_TEST_PG is not set: run under with_postgres.sh"
        echo "$VANTOREL_TEST_PG"
        ;;
    *) fail "unknown database kind $1" ;;
    esac
}
