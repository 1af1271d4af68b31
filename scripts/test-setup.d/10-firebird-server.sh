#!/usr/bin/env bash
# A private Firebird server for the tests of the shared-database path
# ("host/port:/path/DADOS.GDB"), listening on a free loopback port. It runs
# from a root folder of its own inside the run's services folder: its own
# firebird.conf, lock folder and a security database made for it with the
# data module's SYSDBA password. The machine's configuration, security
# database and any server it runs are left alone. Works as root and as a
# normal user.
#
# Writes OS_FB_SERVER (host/port) and OS_FB_SERVER_DIR to the file given as
# $1, and the server's process id to $OS_SERVICES_DIR/firebird.pid, where
# scripts/stop-services.sh finds it when the run ends. When anything fails it
# writes no variables and returns 0: the tests that need the server skip with
# the reason (and fail under CI).
set -u
out="${1:-/dev/null}"
cd "$(dirname "$0")/../.." || exit 0
. scripts/services.sh

PASSWORD=quillmoss            # the password the data module sends
HOST=127.0.0.1
SERVER=/usr/sbin/firebird

note() { echo "firebird-server: $*" >&2; }

[ -n "${OS_SERVICES_DIR:-}" ] || { note "OS_SERVICES_DIR is not set"; exit 0; }
[ -x "$SERVER" ] || { note "$SERVER is missing (package firebird3.0-server)"; exit 0; }
command -v isql-fb >/dev/null 2>&1 || { note "isql-fb is missing (package firebird3.0-utils)"; exit 0; }
# The installed engine: plugins, character sets and messages come from there.
engine=
for d in /usr/lib/*/firebird/3.0; do
    [ -e "$d/plugins" ] && engine=$d && break
done
[ -n "$engine" ] || { note "no Firebird 3.0 engine folder under /usr/lib"; exit 0; }

root="$OS_SERVICES_DIR/firebird"
dir="$OS_SERVICES_DIR/firebird-data"   # where tests create their server-side files
rm -rf "$root" "$dir"
mkdir -p "$root/lock" "$dir" || { note "cannot make $root"; exit 0; }
chmod 1777 "$dir"
for f in plugins intl UDF lib firebird.msg plugins.conf; do
    [ -e "$engine/$f" ] && ln -s "$engine/$f" "$root/$f"
done
: > "$root/databases.conf"

write_conf() {
    cat > "$root/firebird.conf" <<CONF
RemoteServicePort = $1
RemoteBindAddress = $HOST
SecurityDatabase = $root/security3.fdb
ServerMode = Super
AuthServer = Srp
UserManager = Srp
CONF
}

# Everything below runs on the private root only.
private=(env FIREBIRD="$root" FIREBIRD_LOCK="$root/lock")

# The security database, through the embedded engine of the private root
# (its firebird.conf names this very file as the security database).
write_conf 0
printf "create database '%s' user SYSDBA;\ncreate or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" \
    "$root/security3.fdb" "$PASSWORD" | "${private[@]}" timeout 60 isql-fb -q >"$root/isql.log" 2>&1
if [ ! -s "$root/security3.fdb" ] || grep -q 'Statement failed' "$root/isql.log"; then
    note "could not make the security database: $(tr '\n' ' ' < "$root/isql.log")"
    exit 0
fi

probe() {
    local f="$dir/probe-$$.fdb"
    printf "create database '%s/%s:%s' user 'SYSDBA' password '%s';\ndrop database;\n" "$HOST" "$1" "$f" "$PASSWORD" \
        | timeout 20 isql-fb -q >"$root/probe.log" 2>&1 && ! grep -q 'Statement failed' "$root/probe.log"
}

# A port nobody listens on; another program may take it between the look
# and the server's start, so a server that does not come up is tried again
# on another port.
for _ in 1 2 3 4 5; do
    port=$(os_free_port) || { note "no free loopback port"; exit 0; }
    write_conf "$port"
    os_start_service firebird "${private[@]}" "$SERVER" || continue
    if os_wait_listening "$HOST" "$port" 20 && probe "$port"; then
        echo "OS_FB_SERVER=$HOST/$port" >> "$out"
        echo "OS_FB_SERVER_DIR=$dir" >> "$out"
        note "private server ready on $HOST:$port ($root)"
        exit 0
    fi
    note "the server on port $port did not answer: $(tr '\n' ' ' < "$root/probe.log" 2>/dev/null)"
    os_stop_service firebird
done
note "the private server did not start"
exit 0
