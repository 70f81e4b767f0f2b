#!/bin/sh
# archives.sh DIST VERSION NAME...: each release zip holds exactly the MEX
# files of its dist/ folder, the same bytes, with their help, README and
# license. The Windows zip is checked once the Windows folder exists. No file
# in the zips or the Octave package carries anything of the build machine
# (shipped.sh, with MEXTIME_MACHINE_PATHS).
set -eu
dist=$1 version=$2
shift 2
status=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
shipped=$(cd "$(dirname "$0")/../binary" && pwd)/shipped.sh

check_zip() {
    folder=$1 suffix=$2
    shift 2
    zip=$dist/mextime-$version-$folder.zip
    expected=$(for name in "$@"; do
        printf 'mextime/%s.%s\nmextime/%s.m\n' "$name" "$suffix" "$name"
    done; printf 'mextime/\nmextime/Contents.m\nmextime/mextime.m\nmextime/LICENSE.txt\nmextime/README.txt\nmextime/mextimecheck.m\n')
    actual=$(unzip -Z1 "$zip") || { echo "FAIL $zip: cannot list"; status=1; return; }
    if [ "$(echo "$expected" | sort)" != "$(echo "$actual" | sort)" ]; then
        echo "FAIL $zip holds:"; echo "$actual"; echo "expected:"; echo "$expected"
        status=1
    fi
    for file in mextimecheck.m; do
        unzip -p "$zip" "mextime/$file" | cmp -s - "$dist/$folder/$file" ||
            { echo "FAIL $zip: mextime/$file differs from $dist/$folder/$file"; status=1; }
    done
    for name in "$@"; do
        for file in "$name.$suffix" "$name.m"; do
            unzip -p "$zip" "mextime/$file" | cmp -s - "$dist/$folder/$file" ||
                { echo "FAIL $zip: mextime/$file differs from $dist/$folder/$file"; status=1; }
        done
    done
    unzip -p "$zip" mextime/README.txt | grep -q "mextime $version for MATLAB" ||
        { echo "FAIL $zip: README.txt does not name version $version"; status=1; }
    unzip -l "$zip"
    mkdir "$tmp/$folder"
    unzip -q "$zip" -d "$tmp/$folder"
    find "$tmp/$folder" -type f -exec "$shipped" {} + || status=1
}

check_zip glnxa64 mexa64 "$@"
if [ -d "$dist/win64" ]; then
    check_zip win64 mexw64 "$@"
else
    echo "no $dist/win64: no Windows zip to check"
fi

mkdir "$tmp/octave"
tar -xzf "$dist/mextime-$version.tar.gz" -C "$tmp/octave"
find "$tmp/octave" -type f -exec "$shipped" {} + || status=1
exit $status
