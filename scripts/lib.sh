# Shared by the scripts: where things go, installing what is missing, building.
# Sourced, not run.

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MEXTIME_BUILD:-$ROOT/build}
DIST=${MEXTIME_DIST:-$ROOT/dist}
JOBS=${MEXTIME_JOBS:-$(nproc 2>/dev/null || echo 2)}

log() { printf '\n== %s\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not installed yet. The package lists
# are refreshed only when an install fails, as on a fresh machine.
need_packages() {
    missing=""
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $pkg"
    done
    [ -z "$missing" ] && return 0
    log "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    # shellcheck disable=SC2086
    if ! as_root apt-get install -y --no-install-recommends $missing; then
        as_root apt-get update
        # shellcheck disable=SC2086
        as_root apt-get install -y --no-install-recommends $missing
    fi
}

LINUX_PACKAGES="cmake make g++ binutils file googletest octave liboctave-dev"

# Configures and builds one tree: build_tree NAME [CMAKE_ARGS...]
build_tree() {
    name=$1
    shift
    cmake -S "$ROOT" -B "$BUILD/$name" \
        -DMEXTIME_DIST_DIR="$DIST" \
        -DMEXTIME_GOOGLETEST_DIR=/usr/src/googletest \
        "$@" >"$BUILD/$name.configure.log" 2>&1 ||
        { cat "$BUILD/$name.configure.log"; return 1; }
    cmake --build "$BUILD/$name" --parallel "$JOBS"
}

build_all() {
    need_packages $LINUX_PACKAGES
    mkdir -p "$BUILD"
    log "building Linux and Octave targets into $DIST"
    build_tree linux
}
