#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL 15 and removes the server after,
# whatever the command does:
#   tests/server/with_postgres.sh COMMAND [ARG...]
# The server lives in a new folder under /tmp, listens only on a Unix socket in
# that folder (no TCP port to collide with another run), keeps fsync on, and
# trusts local connections as the user "vantorel". The command gets
#   VANTOREL_TEST_PG="host=<folder> port=5432 dbname=vantorel_test user=vantorel"
# and its exit status is the script's. initdb refuses to run as root, so under
# root (CI) the server runs as the "postgres" user the Debian package creates.
set -euo pipefail

PG_BIN=${PG_BIN:-/usr/lib/postgresql/15/bin}
if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi
if [ ! -x "$PG_BIN/initdb" ] || [ ! -x "$PG_BIN/pg_ctl" ]; then
    echo "with_postgres: no PostgreSQL 15 in $PG_BIN (Debian package postgresql)" >&2
    exit 1
fi

dir=$(mktemp -d /tmp/vantorel-pg.XXXXXX)
owner=()
if [ "$(id -u)" -eq 0 ]; then
    if ! id postgres >/dev/null 2>&1; then
        echo "with_postgres: running as root needs the postgres user to run the server" >&2
        rmdir "$dir"
        exit 1
    fi
    chown postgres: "$dir"
    owner=(runuser -u postgres --)
fi

# Runs a PostgreSQL program as the server's owner, from the server's folder (the
# owner may not be allowed into the caller's working directory).
pg() {
    (cd "$dir" && "${owner[@]}" "$PG_BIN/$1" "${@:2}")
}

started=0
cleanup() {
    if [ "$started" -eq 1 ]; then
        pg pg_ctl -D "$dir/data" -m fast -w -t 30 stop >/dev/null 2>&1 ||
            pg pg_ctl -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

port=5432
if ! pg initdb -D "$dir/data" -U vantorel --auth=trust -E UTF8 --locale=C --no-sync \
    >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    exit 1
fi
started=1
if ! pg pg_ctl -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c port=$port -c fsync=on" \
    start >/dev/null; then
    cat "$dir/server.log" >&2
    exit 1
fi
pg createdb -h "$dir" -p "$port" -U vantorel vantorel_test

export VANTOREL_TEST_PG="host=$dir port=$port dbname=vantorel_test user=vantorel"
set +e
"$@"
status=$?
set -e
exit "$status"
