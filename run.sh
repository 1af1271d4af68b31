#!/usr/bin/env bash
# Installs what is missing, builds, creates the database file when it does
# not exist yet, and starts the application.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

os_ensure_packages "${OS_BUILD_PACKAGES[@]}"
os_lock_folder
os_build build RelWithDebInfo -DOS_BUILD_TESTS=OFF -DOS_BUILD_BENCH=OFF

db="$HOME/OS - Tarvo Vodevuru/DADOS.GDB"
if [ ! -e "$db" ]; then
    ./build/bin/os-createdb "$db"
fi
exec ./build/bin/ordemservico
