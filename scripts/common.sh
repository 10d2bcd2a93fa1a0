# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up for run.sh, test.sh and fuzz.sh: install what is missing, then configure and build.
# Sourced, not run.

KORVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KORVO_PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools
    libhidapi-dev libudev-dev libbenchmark-dev umockdev libumockdev-dev
    fonts-noto-cjk xvfb xauth dbus-daemon
    clang libclang-rt-14-dev
    desktop-file-utils lintian appstream qttranslations5-l10n systemd
)
# The cross compiler of scripts/check-windows.sh; only that check installs it.
KORVO_WINDOWS_CHECK_PACKAGES=(g++-mingw-w64-x86-64-posix)

korvo_install_packages() {
    local missing=()
    for pkg in "${KORVO_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        # Debian leaves sudo out when a root password was set at installation.
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Neither root nor sudo: these packages cannot be installed from here." >&2
            echo "Run this as root (for example after 'su -'), then start again:" >&2
            echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
            return 1
        fi
        sudo="sudo"
    fi
    # Another apt run on the machine holds the lock for a while; wait for it rather than fail.
    $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
        --no-install-recommends "${missing[@]}"
}

# korvo_build DIR [cmake options...]
# KORVO_BUILD_TARGETS, when set, names the only targets to build (the sanitizer and fuzz runs
# need a fraction of the tree).
korvo_build() {
    local dir="$1"
    shift
    local launcher=()
    # A compiler cache, where one is installed, makes rebuilds across checkouts cheap.
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$KORVO_ROOT" -B "$KORVO_ROOT/$dir" "${launcher[@]}" "$@" >/dev/null
    local targets=()
    for t in ${KORVO_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
    cmake --build "$KORVO_ROOT/$dir" --parallel "$(nproc)" "${targets[@]}"
}
