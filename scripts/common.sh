# Shared by scripts/run, scripts/test and scripts/bench: install what the build needs, then
# configure and build into build/ (or $GRIDLUME_BUILD_DIR).
set -euo pipefail

GRIDLUME_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
GRIDLUME_BUILD_DIR="${GRIDLUME_BUILD_DIR:-$GRIDLUME_ROOT/build}"

gridlume_log() { printf '==> %s\n' "$*" >&2; }

# The package names of a list in scripts/ (one a line, # starts a comment).
gridlume_package_list() {
    sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$GRIDLUME_ROOT/scripts/$1"
}

# Installs the Debian packages listed in scripts/packages.txt ($GRIDLUME_PACKAGES names another
# list there, as in the Debian 13 root) or the ones given as arguments,
# that are not installed yet.
gridlume_install_packages() {
    local wanted missing=()
    if [ $# -gt 0 ]; then
        wanted="$*"
    else
        wanted=$(gridlume_package_list "${GRIDLUME_PACKAGES:-packages.txt}")
    fi
    for pkg in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            SUDO=sudo
        else
            echo "Gridlume needs these Debian packages, which are not installed:" >&2
            printf '  %s\n' "${missing[@]}" >&2
            echo "Install them as root:  apt-get install ${missing[*]}" >&2
            exit 1
        fi
    else
        SUDO=
    fi
    gridlume_log "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q >/dev/null
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures (once) and builds everything, or only the targets in $GRIDLUME_BUILD_TARGETS. Extra
# arguments go to cmake's configure step.
gridlume_build() {
    if [ ! -f "$GRIDLUME_BUILD_DIR/build.ninja" ]; then
        gridlume_log "Configuring into $GRIDLUME_BUILD_DIR"
        cmake -S "$GRIDLUME_ROOT" -B "$GRIDLUME_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    fi
    gridlume_log "Building${GRIDLUME_BUILD_TARGETS:+ $GRIDLUME_BUILD_TARGETS}"
    # shellcheck disable=SC2086 # the targets are words
    cmake --build "$GRIDLUME_BUILD_DIR" ${GRIDLUME_BUILD_TARGETS:+--target $GRIDLUME_BUILD_TARGETS} -- -j"$(nproc)"
}
