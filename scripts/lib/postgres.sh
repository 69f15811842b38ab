# Used by scripts/test: a throwaway PostgreSQL 15 server for the data layer's tests, in a
# temporary directory, on 127.0.0.1 only, with trust authentication (user and database
# "postgres"). start_postgres exports QRYDESK_PG_PORT, and QRYDESK_PG_DSN: the name of an ODBC
# data source for the server (psqlODBC, database "postgres", no user) in an odbc.ini of its
# own, which ODBCINI names. unixODBC reads that file also for the Windows tests, since Wine
# hands their ODBC calls to it; a data source in the Wine registry would not reach it.
# stop_postgres removes every trace.

pg_bin=/usr/lib/postgresql/15/bin
pg_dir=""
pg_odbcini_before=""

# PostgreSQL refuses to run as root, so root hands the server to the postgres user. Anyone
# else runs it as themselves: the directory is their own and no privilege is needed.
as_pg_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        (cd / && runuser -u postgres -- "$@")
    else
        "$@"
    fi
}

# Starts the server and waits until it accepts connections. Returns non-zero, after showing
# why, when it cannot.
start_postgres() {
    pg_dir=$(mktemp -d /tmp/qrydesk-pg.XXXXXX) || return 1
    [ "$(id -u)" -eq 0 ] && chown postgres: "$pg_dir"
    if ! as_pg_owner "$pg_bin/initdb" -D "$pg_dir/data" -U postgres -A trust -E UTF8 \
        --locale=C --no-sync >"$pg_dir/initdb.log" 2>&1; then
        echo "postgres: initdb failed:" >&2
        cat "$pg_dir/initdb.log" >&2
        return 1
    fi
    cat >>"$pg_dir/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$pg_dir'
fsync = off
EOF
    # Several test runs may share the machine, so a port that looked free can be taken before
    # the server binds it: then try another one.
    local port="" candidate
    for _ in $(seq 10); do
        candidate=$((15000 + RANDOM % 17000)) # below Linux's ephemeral ports
        (: </dev/tcp/127.0.0.1/$candidate) 2>/dev/null && continue
        : >"$pg_dir/server.log"
        [ "$(id -u)" -eq 0 ] && chown postgres: "$pg_dir/server.log"
        if as_pg_owner "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" \
            -o "-p $candidate" -w -t 60 start >/dev/null 2>&1; then
            port=$candidate
            break
        fi
        grep -q 'Address already in use' "$pg_dir/server.log" || break
    done
    if [ -n "$port" ]; then
        for _ in $(seq 100); do
            if "$pg_bin/pg_isready" -q -h 127.0.0.1 -p "$port" -U postgres; then
                export QRYDESK_PG_PORT=$port
                cat >"$pg_dir/odbc.ini" <<EOF
[QrydeskTest]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=postgres
EOF
                pg_odbcini_before=${ODBCINI-}
                export ODBCINI="$pg_dir/odbc.ini" QRYDESK_PG_DSN=QrydeskTest
                echo "postgres: server on 127.0.0.1:$port, data in $pg_dir"
                return 0
            fi
            sleep 0.1
        done
    fi
    echo "postgres: the server did not start:" >&2
    cat "$pg_dir/server.log" >&2 2>/dev/null
    return 1
}

# Safe to call at any time, also when start_postgres failed half way or never ran.
stop_postgres() {
    [ -n "$pg_dir" ] || return 0
    if [ -f "$pg_dir/data/postmaster.pid" ]; then
        if ! as_pg_owner "$pg_bin/pg_ctl" -D "$pg_dir/data" -m fast -w -t 30 stop >/dev/null 2>&1
        then
            kill -KILL "$(head -n 1 "$pg_dir/data/postmaster.pid")" 2>/dev/null
            sleep 0.5
        fi
    fi
    rm -rf "$pg_dir"
    pg_dir=""
    unset QRYDESK_PG_PORT QRYDESK_PG_DSN
    if [ -n "$pg_odbcini_before" ]; then
        export ODBCINI=$pg_odbcini_before
    else
        unset ODBCINI
    fi
}
