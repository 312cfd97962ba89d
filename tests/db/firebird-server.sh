#!/bin/bash
# firebird-server.sh start DIR PORT | stop DIR
# Runs the server of Debian's firebird3.0-server on 127.0.0.1:PORT for the tests, entirely inside
# DIR: its own configuration, security database (users SYSDBA/serverpw and ANN/annpw), lock
# directory and database files. The package is unpacked, not installed, so no system service
# starts and nothing outside DIR changes (the shared lock directory /tmp/firebird least of all).
# Exits 77 with a reason on stderr when the server cannot be had here.
set -e
cmd=$1
dir=$2
port=$3
lib=/usr/lib/x86_64-linux-gnu/firebird/3.0
root=$dir/root

skip() {
    echo "$*" >&2
    exit 77
}

if [ "$cmd" = stop ]; then
    if [ -f "$dir/server.pid" ]; then
        pid=$(cat "$dir/server.pid")
        kill "$pid" 2>/dev/null || true
        # Wait until it is gone, so that a start right after finds the port and files free.
        for _ in 1 2 3 4 5 6 7 8; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.25
        done
        # A server still waiting for its attachments to go is stopped the hard way.
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$dir/server.pid"
    exit 0
fi

mkdir -p "$dir"
server=$dir/pkg/usr/sbin/firebird
if [ ! -x "$server" ]; then
    (cd "$dir" && apt-get download -q firebird3.0-server >/dev/null 2>&1) ||
        skip "the Debian package firebird3.0-server could not be downloaded"
    dpkg-deb -x "$dir"/firebird3.0-server_*.deb "$dir/pkg" || skip "the package could not be unpacked"
fi
[ -d "$lib/plugins" ] || skip "the engine (firebird3.0-server-core) is not installed"

if [ ! -f "$root/security3.fdb" ]; then
    rm -rf "$root"
    mkdir -p "$root/lock" "$root/intl"
    for f in plugins firebird.msg plugins.conf UDF lib; do ln -s "$lib/$f" "$root/$f"; done
    # The character sets are loaded only from a real directory below the root.
    cp "$lib/intl/libfbintl.so" "$lib/intl/fbintl.conf" "$root/intl/"
    : >"$root/databases.conf"
    cat >"$root/mksec.sql" <<SQL
create database '$root/security3.fdb' user SYSDBA;
input '$dir/pkg/usr/share/firebird/3.0/security.sql';
commit;
create user SYSDBA password 'serverpw' using plugin Srp;
create user ANN password 'annpw' using plugin Srp;
commit;
SQL
fi
cat >"$root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
ServerMode = Super
SecurityDatabase = $root/security3.fdb
${FIREBIRD_SERVER_CONF_EXTRA:-}
CONF
export FIREBIRD="$root" FIREBIRD_LOCK="$root/lock"
if [ ! -f "$root/security3.fdb" ]; then
    isql-fb -q -i "$root/mksec.sql" >"$dir/mksec.log" 2>&1 || skip "the security database could not be made"
fi
setsid "$server" >"$dir/server.log" 2>&1 &
echo $! >"$dir/server.pid"
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    if (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        exit 0
    fi
    sleep 0.25
done
skip "the server did not start listening on port $port"
