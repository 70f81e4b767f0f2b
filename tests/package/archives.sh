#!/bin/sh
# archives.sh ROOT DIST VERSION NAME...: each release zip holds exactly
# the MEX files of its dist/ folder, the same bytes, with their help, the
# overview, the self-check with every file of its source folder
# (selfcheck/private) in private/, its platform's README (scripts/package --readme, which
# platforms.sh checks for every platform), and the license. The Windows and
# macOS zips are checked once their folders exist. The overview's second
# line is what MATLAB's `ver` reads: "% Version 0.3.0 09-Dec-2026", the date
# of the version's heading in CHANGELOG.md. No file in the zips or the
# Octave package carries anything of the build machine (shipped.sh, with
# MEXTIME_MACHINE_PATHS).
. "$(dirname "$0")/scratch.sh"
root=$1 dist=$2 version=$3
shift 3
private=$root/selfcheck/private
status=0
fail() { echo "FAIL $*"; status=1; }
day=$(sed -n "s/^## $version - \([0-9-]*\)\$/\1/p" "$root/CHANGELOG.md")
released=$([ -n "$day" ] && LC_ALL=C date -u -d "$day" +%d-%b-%Y) || fail "CHANGELOG.md: no date for $version"

# check_overview WHERE TEXT: the overview's second line.
check_overview() {
    line=$(printf '%s\n' "$2" | sed -n 2p)
    [ "$line" = "% Version $version $released" ] ||
        fail "$1: '$line', not '% Version $version $released'"
}

# check_zip FOLDER SUFFIX NAME...
check_zip() {
    folder=$1 suffix=$2
    shift 2
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
    unzip -p "$zip" mextime/README.txt | cmp -s - "$tmp/README-$folder" ||
        fail "$zip: README.txt is not the one scripts/package --readme $folder prints"
    check_overview "$zip: Contents.m" "$(unzip -p "$zip" mextime/Contents.m)"
    unzip -q "$zip" -d "$tmp/$folder"
}

for folder in glnxa64 win64 maci64 maca64; do
    "$root/scripts/package" --readme $folder >"$tmp/README-$folder"
    case $folder in glnxa64) suffix=mexa64 ;; win64) suffix=mexw64 ;; *) suffix=mex$folder ;; esac
    [ $folder = glnxa64 ] || [ -d "$dist/$folder" ] || continue
    check_zip $folder $suffix "$@"
done
mkdir "$tmp/octave"
tar -xzf "$dist/mextime-$version.tar.gz" -C "$tmp/octave"
check_overview "the Octave package's Contents.m" "$(cat "$tmp/octave/mextime/inst/Contents.m")"
find "$tmp" -type f -exec "$(dirname "$0")/../binary/shipped.sh" {} + || status=1
exit $status
