#!/bin/sh
# archives.sh DIST VERSION NAME...: each release zip holds exactly the MEX
# files of its dist/ folder, the same bytes, with their help, the overview,
# the self-check, a README naming the version and speaking of its own
# platform alone, and the license. The Windows and macOS zips are checked
# once their folders exist; a macOS zip's README says that its files have
# not yet run on a Mac. No file in the zips or the
# Octave package carries anything of the build machine (shipped.sh, with
# MEXTIME_MACHINE_PATHS).
set -eu
dist=$1 version=$2
shift 2
status=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL $*"; status=1; }

check_zip() {
    folder=$1 suffix=$2
    shift 2
    zip=$dist/mextime-$version-$folder.zip
    from_dist=$(for name in "$@"; do printf '%s.%s\n%s.m\n' "$name" "$suffix" "$name"; done
                printf 'Contents.m\nmextime.m\nmextimecheck.m\n')
    expected=$(printf '%s\nLICENSE.txt\nREADME.txt\n' "$from_dist" | sed 's|^|mextime/|'; echo mextime/)
    [ "$(unzip -Z1 "$zip" | sort)" = "$(echo "$expected" | sort)" ] ||
        { fail "$zip holds:"; unzip -Z1 "$zip"; }
    for file in $from_dist; do
        unzip -p "$zip" "mextime/$file" | cmp -s - "$dist/$folder/$file" ||
            fail "$zip: mextime/$file differs from $dist/$folder/$file"
    done
    unzip -p "$zip" mextime/README.txt | grep -q "mextime $version for MATLAB" ||
        fail "$zip: README.txt does not name version $version"
    unzip -p "$zip" mextime/README.txt | grep -q "^  addpath('" ||
        fail "$zip: README.txt does not say how to add the folder to the path"
    # What would tell of another platform, or of a placeholder left.
    case $folder in
        win64) others='Linux|/etc/|udev|ulimit|macOS|xattr' ;;
        glnxa64) others='Windows|administrator|C:\\|macOS|xattr' ;;
        *) others='Windows|administrator|C:\\|Linux|/etc/|udev|ulimit' ;;
    esac
    # A Mac's README says where its files were built and checked.
    unzip -p "$zip" mextime/README.txt | sed 's/built and checked on Linux//' | grep -nE "$others|@[A-Z_]+@" &&
        fail "$zip: README.txt speaks of another platform, or keeps a placeholder, above"
    unzip -q "$zip" -d "$tmp/$folder"
}

check_zip glnxa64 mexa64 "$@"
[ ! -d "$dist/win64" ] || check_zip win64 mexw64 "$@"
for folder in maci64 maca64; do
    [ -d "$dist/$folder" ] || continue
    check_zip $folder mex$folder "$@"
    unzip -p "$dist/mextime-$version-$folder.zip" mextime/README.txt | tr '\n' ' ' |
        grep -q "not yet run on a *Mac" || fail "$folder zip: README.txt does not say that its files have not yet run on a Mac"
done
mkdir "$tmp/octave"
tar -xzf "$dist/mextime-$version.tar.gz" -C "$tmp/octave"
find "$tmp" -type f -exec "$(dirname "$0")/../binary/shipped.sh" {} + || status=1
exit $status
