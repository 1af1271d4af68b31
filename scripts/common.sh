# Shared by run.sh, test.sh and the set-up steps: package installation that
# works as root, through sudo, or tells a user without either what to install.

# Packages every build needs.
OS_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev
    fonts-liberation fonts-dejavu-core
    qt6-svg-dev
)
# Packages the tests and benchmarks need on top.
OS_TEST_PACKAGES=(
    xvfb xauth xdotool poppler-utils qpdf
    libbenchmark-dev
    dpkg-dev lintian
)

os_missing_packages() {
    local p missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]}"
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
    # shellcheck disable=SC2086
    if { [ -n "${OS_APT_UPDATED:-}" ] || "${sudo[@]}" apt-get update -q; } \
        && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing; then
        export OS_APT_UPDATED=1
        return 0
    fi
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

os_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build build -j"$(nproc)"
}
