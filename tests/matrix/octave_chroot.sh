#!/bin/sh
# An older and a newer Octave than the build machine's, each in a Debian
# chroot, to run what was built here in them (as root, as in CI):
#   octave_chroot.sh make CACHE RELEASE
#       makes CACHE/chroots/RELEASE with mmdebstrap from Debian's archive,
#       once: kept while its package list is the same
#   octave_chroot.sh run CACHE RELEASE DIR... -- COMMAND...
#       runs COMMAND in it, each DIR seen read-only at its own path, with
#       /proc and an empty /tmp of its own, all gone when COMMAND ends
# RELEASE: bullseye (Octave 6.2) or trixie (Octave 9.4).
set -eu
mode=$1 cache=$2 release=$3
shift 3
root=$cache/chroots/$release
# What the tests run: Octave and what pkg install builds with (mkoctfile,
# in liboctave-dev up to Octave 7, octave-dev since); python3 and ps for the
# suites (clockutc's, rtboost's), and useradd for rtboost's ordinary user.
case $release in
bullseye) dev=liboctave-dev ;;
*) dev=octave-dev ;;
esac
PACKAGES="octave,$dev,g++,make,python3,procps,passwd"
MIRROR=http://deb.debian.org/debian
made="$release $PACKAGES"

case $mode in
make)
    if [ "$(cat "$root.made" 2>/dev/null)" = "$made" ] && [ -x "$root/usr/bin/octave-cli" ]; then
        echo "reused $root: $(chroot "$root" octave-cli --version | head -n 1)"
        exit 0
    fi
    command -v mmdebstrap >/dev/null || { echo "FAIL no mmdebstrap (scripts/test installs it)"; exit 1; }
    rm -rf "$root" "$root.new" "$root.made"
    mkdir -p "$(dirname "$root")"
    start=$(date +%s)
    # No recommends, documentation or translations: about 0.8 GB each.
    mmdebstrap --variant=apt --mode=root --include="$PACKAGES" \
        --aptopt='Apt::Install-Recommends "false"' \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' \
        "$release" "$root.new" "$MIRROR"
    mv "$root.new" "$root"
    echo "$made" >"$root.made"
    echo "made $root in $(($(date +%s) - start)) s, $(du -sh "$root" | cut -f1):" \
        "$(chroot "$root" octave-cli --version | head -n 1)"
    ;;
run)
    [ -x "$root/usr/bin/octave-cli" ] || { echo "FAIL no chroot $root: run '$0 make $cache $release'"; exit 1; }
    dirs=""
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        dirs="$dirs $1"
        shift
    done
    [ $# -gt 1 ] || { echo "usage: $0 run CACHE RELEASE DIR... -- COMMAND..." >&2; exit 2; }
    shift
    # A mount namespace of its own: its mounts end with it, whatever ends it.
    # shellcheck disable=SC2016
    exec unshare --mount --propagation private --fork --kill-child sh -ec '
        root=$1 dirs=$2
        shift 2
        mount -t proc proc "$root/proc"
        mount -t tmpfs tmpfs "$root/tmp"
        for dir in $dirs; do
            mkdir -p "$root$dir"
            mount --bind "$dir" "$root$dir"
            mount -o remount,bind,ro "$root$dir"
        done
        exec chroot "$root" "$@"' in_chroot "$root" "$dirs" "$@"
    ;;
*) echo "usage: $0 make|run CACHE RELEASE ..." >&2; exit 2 ;;
esac
