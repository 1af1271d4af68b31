# Shared by run.sh, test.sh and the set-up steps: package installation that
# works as root, through sudo, or tells a user without either what to install.

# Packages every build and every run needs.
OS_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
    libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev
    fonts-liberation fonts-dejavu-core
    qt6-svg-dev
    qt6-translations-l10n
)
# Packages the tests and benchmarks need on top.
OS_TEST_PACKAGES=(
    xvfb xauth xdotool x11-utils poppler-utils qpdf
    libbenchmark-dev
    dpkg-dev lintian
    firebird3.0-server
    cups-daemon cups-client cups-filters
    libreoffice-writer-nogui
    openbox
)

os_missing_packages() {
    local p missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]}"
}

# The init system's policy file the package scripts read (another place only
# for the scripts' own test).
OS_POLICY_FILE=${OS_POLICY_FILE:-/usr/sbin/policy-rc.d}

# Packages whose install scripts start a service of the machine.
OS_SERVER_PACKAGES=(firebird3.0-server cups-daemon cups)

os_has_server_package() {
    local p s
    for p in "$@"; do
        for s in "${OS_SERVER_PACKAGES[@]}"; do
            [ "$p" = "$s" ] && return 0
        done
    done
    return 1
}

# Removes the policy os_ensure_packages wrote, if it wrote one.
os_drop_policy() {
    if [ -n "${OS_POLICY_MADE:-}" ]; then
        "${OS_POLICY_SUDO[@]}" rm -f "$OS_POLICY_FILE"
        OS_POLICY_MADE=
    fi
}

# os_ensure_packages PKG...: installs what is missing, or names it and fails.
os_ensure_packages() {
    local missing
    missing=$(os_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null || { [ -t 0 ] && command -v sudo >/dev/null 2>&1; }; then
            sudo=(sudo)
        else
            echo "Pacotes necessários não instalados. Instale-os como administrador:" >&2
            echo "  apt-get install $missing" >&2
            return 1
        fi
    fi
    echo "Instalando: $missing"
    # Server packages (database server, CUPS) must not start the machine's
    # own services: the tests run private ones. Without an init system
    # policy the package scripts are told not to start anything. The policy
    # is written only for them, and goes on every way out of the install
    # (a hang-up or Ctrl+C included): left behind, it would keep every later
    # package's service on this machine from starting.
    local old_exit old_hup old_int old_term
    old_exit=$(trap -p EXIT) old_hup=$(trap -p HUP) old_int=$(trap -p INT) old_term=$(trap -p TERM)
    OS_POLICY_SUDO=("${sudo[@]}")
    trap 'os_drop_policy' EXIT
    trap 'os_drop_policy; exit 129' HUP
    trap 'os_drop_policy; exit 130' INT
    trap 'os_drop_policy; exit 143' TERM
    if os_has_server_package $missing && [ ! -e "$OS_POLICY_FILE" ]; then
        OS_POLICY_MADE=1
        printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$OS_POLICY_FILE" >/dev/null \
            && "${sudo[@]}" chmod 755 "$OS_POLICY_FILE"
    fi
    local ok=
    # shellcheck disable=SC2086
    if { [ -n "${OS_APT_UPDATED:-}" ] || "${sudo[@]}" apt-get update -q; } \
        && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing; then
        export OS_APT_UPDATED=1
        ok=1
    fi
    os_drop_policy
    eval "${old_exit:-trap - EXIT}"; eval "${old_hup:-trap - HUP}"
    eval "${old_int:-trap - INT}"; eval "${old_term:-trap - TERM}"
    [ -n "$ok" ] && return 0
    # sudo refused, or the package sources failed: say what is missing.
    echo "Não foi possível instalar os pacotes. Instale-os como administrador:" >&2
    echo "  apt-get install $missing" >&2
    return 1
}

# The embedded engine keeps its lock files in /tmp/firebird; a normal user
# may not be able to write there (another user made it first).
os_lock_folder() {
    if [ -z "${FIREBIRD_LOCK:-}" ]; then
        if ! { mkdir -p /tmp/firebird 2>/dev/null && [ -w /tmp/firebird ]; }; then
            export FIREBIRD_LOCK="${XDG_RUNTIME_DIR:-$HOME/.cache}/ordemservico-firebird"
            mkdir -p "$FIREBIRD_LOCK"
        fi
    fi
}

# os_build DIR BUILD_TYPE [CMAKE_ARGS...]
os_build() {
    local dir=$1 type=$2
    shift 2
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
    cmake --build "$dir" -j"$(nproc)"
}
