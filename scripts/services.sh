# Private services of a test run (database server, print queue): each runs
# in a session of its own, its process id kept in $OS_SERVICES_DIR/NAME.pid,
# and os_stop_services ends every one of them, children included.

# os_free_port: a loopback TCP port nobody listens on.
os_free_port() {
    local p _
    for _ in $(seq 50); do
        p=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# os_wait_listening HOST PORT SECONDS
os_wait_listening() {
    local i
    for i in $(seq $(($3 * 5))); do
        (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}

# os_start_service NAME COMMAND...: starts COMMAND in a session of its own,
# output to $OS_SERVICES_DIR/NAME.log; fails when it has already ended.
os_start_service() {
    local name=$1
    shift
    setsid "$@" </dev/null >"$OS_SERVICES_DIR/$name.log" 2>&1 &
    echo $! > "$OS_SERVICES_DIR/$name.pid"
    sleep 0.2
    kill -0 "$!" 2>/dev/null
}

# os_stop_service NAME: ends the service's whole session (TERM, then KILL
# after 10 s) and waits until no process of it is left.
os_stop_service() {
    local file="$OS_SERVICES_DIR/$1.pid" pid i
    [ -f "$file" ] || return 0
    pid=$(cat "$file")
    rm -f "$file"
    [[ "$pid" =~ ^[0-9]+$ ]] || return 0
    # Only a session that this run started: its leader is the service.
    kill -TERM -- "-$pid" 2>/dev/null || return 0
    for i in $(seq 50); do
        kill -0 -- "-$pid" 2>/dev/null || return 0
        sleep 0.2
    done
    kill -KILL -- "-$pid" 2>/dev/null
    for i in $(seq 25); do
        kill -0 -- "-$pid" 2>/dev/null || return 0
        sleep 0.2
    done
    echo "services: processes of $1 (session $pid) are still running" >&2
    return 1
}

os_stop_services() {
    local f rc=0
    [ -d "${OS_SERVICES_DIR:-}" ] || return 0
    for f in "$OS_SERVICES_DIR"/*.pid; do
        [ -e "$f" ] || continue
        os_stop_service "$(basename "$f" .pid)" || rc=1
    done
    return $rc
}
