#!/usr/bin/env bash
# The package step left the policy file behind when a hang-up came during
# the install, and wrote it for any package. Here apt-get, dpkg-query and id
# are stand-ins on the PATH and the policy file lives in a scratch folder.
# Usage: policy_file_left_after_hangup.sh SOURCE_DIR
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# Nothing is installed; the user is root; apt-get records that it ran and
# whether the policy was there meanwhile, then waits for its signal (or
# ends at once for "update").
cat > "$work/bin/dpkg-query" <<'X'
#!/bin/sh
exit 1
X
cat > "$work/bin/id" <<'X'
#!/bin/sh
echo 0
X
cat > "$work/bin/apt-get" <<'X'
#!/bin/sh
[ "$1" = "update" ] && exit 0
# Written aside and moved in place: the test hangs up as soon as the file
# exists, which must not be before its word is in it.
if [ -e "$OS_POLICY_FILE" ]; then echo policy > "$WORK/seen.part"; else echo none > "$WORK/seen.part"; fi
mv "$WORK/seen.part" "$WORK/seen"
[ -n "${HANG:-}" ] && exec sleep 30
exit 0
X
chmod +x "$work/bin/"*
failures=0
# run NAME HANG PACKAGES EXPECTED_SEEN
run() {
    local name=$1 hang=$2 packages=$3 expected=$4
    rm -f "$work/seen" "$work/policy-rc.d"
    # A process group of its own, hung up as a whole as a closed terminal
    # hangs up the script and the install it runs.
    setsid env PATH="$work/bin:$PATH" WORK="$work" OS_POLICY_FILE="$work/policy-rc.d" HANG="$hang" \
        bash -c '. "$1/scripts/common.sh"; shift; os_ensure_packages "$@"' _ "$src" $packages \
        >/dev/null 2>&1 &
    local pid=$!
    if [ -n "$hang" ]; then
        while [ ! -e "$work/seen" ]; do sleep 0.1; done
        kill -HUP -- "-$pid"
    fi
    wait "$pid" 2>/dev/null
    local seen
    seen=$(cat "$work/seen" 2>/dev/null)
    if [ "$seen" != "$expected" ]; then
        echo "FAIL $name: during the install the policy was '$seen', expected '$expected'"
        failures=$((failures + 1))
    fi
    if [ -e "$work/policy-rc.d" ]; then
        echo "FAIL $name: the policy file was left behind"
        failures=$((failures + 1))
    fi
}
run "server package, finished" "" "firebird3.0-server xvfb" policy
run "server package, hang-up" 1 "cups-daemon" policy
run "no server package" "" "xvfb qpdf" none
run "no server package, hang-up" 1 "openbox" none
[ "$failures" -eq 0 ] && echo "PASS" || exit 1
