#!/usr/bin/env bash
# Firebird server on loopback, for the tests of the shared-database path
# ("host:/path/DADOS.GDB"). Installs firebird3.0-server without questions
# (the SYSDBA password is preseeded), starts /usr/sbin/firebird without
# systemd, and writes OS_FB_SERVER and OS_FB_SERVER_DIR to the file given as
# $1. Idempotent; when anything fails it writes nothing and returns 0, and the
# tests that need the server skip with the reason.
set -u
out="${1:-/dev/null}"
cd "$(dirname "$0")/../.." || exit 0
# shellcheck source=../common.sh
. scripts/common.sh

PASSWORD=quillmoss            # the password the data module sends
HOST=127.0.0.1
PORT=3050
DIR=/tmp/os-fb-server         # where tests create their server-side files
SECDB=/var/lib/firebird/3.0/system/security3.fdb

note() { echo "10-firebird-server: $*" >&2; }

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        SUDO=(sudo -n)
    else
        note "not root and no password-less sudo: server tests will be skipped"
        exit 0
    fi
fi

listening() {
    (exec 3<>"/dev/tcp/$HOST/$PORT") 2>/dev/null
}

if [ -z "$(os_missing_packages firebird3.0-server)" ]; then
    :
else
    echo "firebird3.0-server shared/firebird/enabled boolean true" | "${SUDO[@]}" debconf-set-selections 2>/dev/null
    echo "firebird3.0-server shared/firebird/sysdba_password/first_install password $PASSWORD" \
        | "${SUDO[@]}" debconf-set-selections || { note "debconf-set-selections failed"; exit 0; }
    # No init system here: keep the package scripts from starting the
    # service; it is started below.
    policy_made=""
    if [ ! -e /usr/sbin/policy-rc.d ]; then
        printf '#!/bin/sh\nexit 101\n' | "${SUDO[@]}" tee /usr/sbin/policy-rc.d >/dev/null
        "${SUDO[@]}" chmod 755 /usr/sbin/policy-rc.d
        policy_made=1
    fi
    os_ensure_packages firebird3.0-server
    rc=$?
    [ -n "$policy_made" ] && "${SUDO[@]}" rm -f /usr/sbin/policy-rc.d
    [ $rc -eq 0 ] || { note "could not install firebird3.0-server"; exit 0; }
fi

probe() {
    local f="$DIR/probe-$$.fdb"
    printf "create database '%s:%s' user 'SYSDBA' password '%s';\ndrop database;\n" "$HOST" "$f" "$PASSWORD" \
        | timeout 20 isql-fb -q >/dev/null 2>&1
}

"${SUDO[@]}" mkdir -p "$DIR" && "${SUDO[@]}" chmod 1777 "$DIR" || { note "cannot make $DIR"; exit 0; }

if listening; then
    # A server someone else runs is left alone; it must take our password.
    if ! probe; then
        note "a server on $HOST:$PORT refuses SYSDBA with the data module's password"
        exit 0
    fi
else
    # Make sure SYSDBA has the data module's password (embedded access to
    # the security database while no server holds it), then start.
    if [ -e "$SECDB" ]; then
        printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$PASSWORD" \
            | "${SUDO[@]}" env FIREBIRD_LOCK= timeout 30 isql-fb -q -user SYSDBA "$SECDB" >/dev/null 2>&1 \
            || note "could not set the SYSDBA password in $SECDB"
    fi
    "${SUDO[@]}" setsid /usr/sbin/firebird </dev/null >/dev/null 2>&1 &
    for _ in $(seq 40); do listening && break; sleep 0.25; done
    if ! listening; then
        note "the server did not start listening on $HOST:$PORT"
        exit 0
    fi
    if ! probe; then
        note "the server refuses SYSDBA with the data module's password"
        exit 0
    fi
fi

echo "OS_FB_SERVER=$HOST" >> "$out"
echo "OS_FB_SERVER_DIR=$DIR" >> "$out"
note "server ready on $HOST:$PORT"
exit 0
