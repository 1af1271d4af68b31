#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer,
# UndefinedBehaviorSanitizer and warnings as errors (in build-asan, apart
# from the plain build of ./run.sh), starts the private services the tests
# need and runs every test. The services are stopped when the run ends,
# whatever the outcome. With CI=true a skipped test fails the run.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
. scripts/services.sh

os_ensure_packages "${OS_BUILD_PACKAGES[@]}" "${OS_TEST_PACKAGES[@]}"
os_lock_folder

build=build-asan
os_build "$build" Debug -DOS_BUILD_TESTS=ON -DOS_BUILD_BENCH=ON -DOS_SANITIZE=ON -DOS_WERROR=ON

# Services some tests need (database server, print queue): each step starts
# a private one inside $OS_SERVICES_DIR and names it in services.env, or
# says why it could not.
export OS_SERVICES_DIR="$PWD/$build/services"
os_stop_services || true      # left by an earlier run that was killed
trap 'os_stop_services' EXIT
trap 'exit 130' INT TERM HUP
rm -rf "$OS_SERVICES_DIR"
mkdir -p "$OS_SERVICES_DIR"
env_file="$PWD/$build/services.env"
: > "$env_file"
for step in scripts/test-setup.d/*.sh; do
    [ -e "$step" ] || continue
    echo "== $step"
    bash "$step" "$env_file"
done
set -a; . "$env_file"; set +a

# In the background and in a session of its own, so that a signal to this
# script runs the traps at once (bash runs them only after a foreground
# command ends) and ends ctest with every test it runs.
cd "$build"
setsid ctest --output-on-failure -j"$(nproc)" --timeout 120 &
tests=$!
trap 'kill -TERM -- "-$tests" 2>/dev/null; wait "$tests"; exit 130' INT TERM HUP
wait "$tests"
