#!/bin/sh
# portable.sh DIST ROOT VERSION: every .m file that users receive (in the
# dist/ folders, the release zips and the Octave package, and mexbuild.m,
# the help files and Contents.m of the source) has no Octave-only syntax.
set -eu
dist=$1 root=$2 version=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for zip in "$dist"/mextime-"$version"-*.zip; do
    mkdir -p "$tmp/$(basename "$zip")"
    unzip -q "$zip" -d "$tmp/$(basename "$zip")"
done
tar -C "$tmp" -xzf "$dist/mextime-$version.tar.gz"
files=$(
    for folder in "$dist/glnxa64" "$dist/octave" "$dist/win64" "$tmp"; do
        [ ! -d "$folder" ] || find "$folder" -name '*.m'
    done
    find "$root" -name Contents.m -not -path "$root/build/*" -not -path "$root/dist/*"
    ls "$root/mexbuild.m" "$root"/help/*.m "$root"/selfcheck/*.m
)
# A scan that misses the self-check in any release file checks too little.
for where in "$dist/octave" "$tmp/mextime-$version-glnxa64.zip" "$tmp/mextime/inst"; do
    echo "$files" | grep -q "^$where/.*mextimecheck\.m$" ||
        { echo "FAIL no mextimecheck.m under $where"; exit 1; }
done
# shellcheck disable=SC2086
octave-cli --norc --no-history --quiet --eval \
    "addpath('$root/tests/package'); portable($(echo "$files" | sed "s/.*/'&'/" | paste -sd,));"
