#!/bin/sh
# A throwaway PostgreSQL cluster for the tests against a server:
#   pg_cluster.sh start DIR SOCKDIR PORT   initdb into DIR/data, serve on a Unix socket in SOCKDIR
#                                          only (no TCP), create the database revozi_test
#   pg_cluster.sh stop DIR SOCKDIR PORT    stop it and remove DIR and SOCKDIR
# The server refuses to run as root, so under root it runs as "nobody", which then owns DIR.
# Clients connect as the cluster's superuser "revozi" without a password (trust on the socket).
# The tests' cluster runs without fsync; REVOZI_PG_FSYNC=on keeps it (the benchmarks' figures).
set -eu
BIN=/usr/lib/postgresql/15/bin
# The server speaks English whatever language the tests are run in, as a server set up apart does
# by default; the engine reads its messages in that form.
unset LANGUAGE LC_ALL LC_MESSAGES
cmd=${1:-}; dir=${2:-}; sock=${3:-}; port=${4:-}
fail() { echo "pg_cluster: $*" >&2; exit 1; }
[ -n "$cmd" ] && [ -n "$dir" ] && [ -n "$sock" ] && [ -n "$port" ] || fail "usage: $0 start|stop DIR SOCKDIR PORT"

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

stop() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$BIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
}

case "$cmd" in
start)
    [ -x "$BIN/initdb" ] || fail "$BIN/initdb is missing: install postgresql-15 (scripts/deps)"
    stop    # one left running by an interrupted run
    rm -rf "$dir" "$sock"
    mkdir -p "$dir/data" "$sock"
    chmod 755 "$(dirname "$dir")" "$(dirname "$sock")"
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$dir" "$dir/data" "$sock"
        runuser -u nobody -- test -w "$dir/data" \
            || fail "user nobody cannot reach $dir: build in a folder that others may traverse"
    fi
    cd "$dir"
    as_owner "$BIN/initdb" -D "$dir/data" -U revozi --auth=trust -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; fail "initdb failed in $dir/data"; }
    # Socket only, in a folder of our own: the port names the socket and cannot clash.
    as_owner "$BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$sock' -p $port -c fsync=${REVOZI_PG_FSYNC:-off}" start >/dev/null \
        || { cat "$dir/server.log" >&2; fail "the server did not start (log above: $dir/server.log)"; }
    tries=0
    until "$BIN/pg_isready" -q -h "$sock" -p "$port"; do
        tries=$((tries + 1))
        [ $tries -lt 60 ] || { cat "$dir/server.log" >&2; fail "the server does not accept connections on $sock"; }
        sleep 0.5
    done
    "$BIN/createdb" -h "$sock" -p "$port" -U revozi revozi_test || fail "could not create the database revozi_test"
    echo "pg_cluster: serving on $sock port $port"
    ;;
stop)
    stop
    rm -rf "$dir" "$sock"
    rmdir "$(dirname "$dir")" 2>/dev/null || true
    ;;
*)
    fail "usage: $0 start|stop DIR SOCKDIR PORT"
    ;;
esac
