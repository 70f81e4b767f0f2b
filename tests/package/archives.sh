#!/bin/sh
# archives.sh DIST VERSION PRIVATE NAME...: each release zip holds exactly
# the MEX files of its dist/ folder, the same bytes, with their help, the
# overview, the self-check with every file of its source folder PRIVATE in
# private/, a README naming the version and speaking of its own platform
# alone, and the license. The Windows and macOS zips are checked once their
# folders exist; a macOS zip's README says that its files have not yet run
# on a Mac. The overview's second line
# is what MATLAB's `ver` reads: "% Version 0.3.0 09-Dec-2026", the date of
# the version's heading in CHANGELOG.md. The README's folder to add is one
# MATLAB and Octave read as written: in single quotes, whole, no tab in it.
# No file in the zips or the
# Octave package carries anything of the build machine (shipped.sh, with
# MEXTIME_MACHINE_PATHS).
. "$(dirname "$0")/scratch.sh"
dist=$1 version=$2 private=$3
shift 3
status=0
fail() { echo "FAIL $*"; status=1; }
q="'"
day=$(sed -n "s/^## $version - \([0-9-]*\)\$/\1/p" "$(dirname "$0")/../../CHANGELOG.md")
released=$([ -n "$day" ] && LC_ALL=C date -u -d "$day" +%d-%b-%Y) || fail "CHANGELOG.md: no date for $version"

# check_overview WHERE TEXT: the overview's second line.
check_overview() {
    line=$(printf '%s\n' "$2" | sed -n 2p)
    [ "$line" = "% Version $version $released" ] ||
        fail "$1: '$line', not '% Version $version $released'"
}

# check_zip FOLDER SUFFIX PATH NAME...: PATH, what a whole path of the
# platform matches (grep -E).
check_zip() {
    folder=$1 suffix=$2 path=$3
    shift 3
    zip=$dist/mextime-$version-$folder.zip
    from_dist=$(for name in "$@"; do printf '%s.%s\n%s.m\n' "$name" "$suffix" "$name"; done
                printf 'Contents.m\nmextime.m\nmextimecheck.m\n'
                (cd "$private" && ls -- *.m) | sed 's|^|private/|')
    expected=$(printf '%s\nLICENSE.txt\nREADME.txt\nprivate/\n' "$from_dist" | sed 's|^|mextime/|'; echo mextime/)
    [ "$(unzip -Z1 "$zip" | sort)" = "$(echo "$expected" | sort)" ] ||
        { fail "$zip holds:"; unzip -Z1 "$zip"; }
    for file in $from_dist; do
        unzip -p "$zip" "mextime/$file" | cmp -s - "$dist/$folder/$file" ||
            fail "$zip: mextime/$file differs from $dist/$folder/$file"
    done
    unzip -p "$zip" mextime/README.txt | grep -q "mextime $version for MATLAB" ||
        fail "$zip: README.txt does not name version $version"
    check_overview "$zip: Contents.m" "$(unzip -p "$zip" mextime/Contents.m)"
    unzip -p "$zip" mextime/README.txt | LC_ALL=C grep -n '[^[:print:]]' &&
        fail "$zip: README.txt has the characters above that are not text"
    unzip -p "$zip" mextime/README.txt | grep -qE "^  addpath\($q$path$q\)\$" ||
        fail "$zip: README.txt's addpath does not take a whole $folder path in single quotes:" \
            "$(unzip -p "$zip" mextime/README.txt | grep addpath)"
    # What would tell of another platform, or of a placeholder left.
    case $folder in
        win64) others='Linux|/etc/|udev|ulimit|macOS|xattr' ;;
        glnxa64) others='Windows|administrator|C:\\|macOS|xattr' ;;
        *) others='Windows|administrator|C:\\|Linux|/etc/|udev|ulimit' ;;
    esac
    # A Mac's README says where its files were built and checked.
    unzip -p "$zip" mextime/README.txt | sed 's/built and checked on Linux//' | grep -nE "$others|@[A-Z_]+@" &&
        fail "$zip: README.txt speaks of another platform, or keeps a placeholder, above"
    # What has run where: nothing yet in MATLAB.
    unzip -p "$zip" mextime/README.txt | grep -qE "^  run in the real host +not yet" ||
        fail "$zip: README.txt does not say that its files have not yet run in the real host"
    unzip -q "$zip" -d "$tmp/$folder"
}

check_zip glnxa64 mexa64 '(/[A-Za-z0-9_.-]+)+' "$@"
[ ! -d "$dist/win64" ] || check_zip win64 mexw64 '[A-Z]:(\\[A-Za-z0-9_.-]+)+' "$@"
for folder in maci64 maca64; do
    [ -d "$dist/$folder" ] || continue
    check_zip $folder mex$folder '(/[A-Za-z0-9_.-]+)+' "$@"
    unzip -p "$dist/mextime-$version-$folder.zip" mextime/README.txt | tr '\n' ' ' |
        grep -q "not yet run on a *Mac" || fail "$folder zip: README.txt does not say that its files have not yet run on a Mac"
done
mkdir "$tmp/octave"
tar -xzf "$dist/mextime-$version.tar.gz" -C "$tmp/octave"
check_overview "the Octave package's Contents.m" "$(cat "$tmp/octave/mextime/inst/Contents.m")"
find "$tmp" -type f -exec "$(dirname "$0")/../binary/shipped.sh" {} + || status=1
exit $status
