#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

os_ensure_packages "${OS_BUILD_PACKAGES[@]}" "${OS_TEST_PACKAGES[@]}"
os_lock_folder

# Services some tests need (database server, print queue): each step installs
# and starts its own, and leaves a note in build/services when it could not.
mkdir -p build
: > build/services.env
for step in scripts/test-setup.d/*.sh; do
    [ -e "$step" ] || continue
    echo "== $step"
    bash "$step" build/services.env
done
set -a; . build/services.env; set +a

os_build -DOS_BUILD_TESTS=ON -DOS_BUILD_BENCH=ON
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 900
