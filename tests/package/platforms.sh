#!/bin/sh
# platforms.sh ROOT DIST VERSION: what is made for each platform, checked here
# whether or not it runs here.
# - The files and libraries each function is built from, for Linux, Windows
#   and macOS, as the Octave package's Makefile takes them (make -n, with
#   Windows' OS variable or a Mac's uname) and as mexbuild.m passes them to
#   mex (in Octave, with stand-ins of mex, ispc and ismac): those of
#   tests/package/sources.txt.
# - Each zip's README.txt, as scripts/package writes it: the title names its
#   host; the folder to add is a whole path of its platform in single
#   quotes; it holds its platform's part (packaging/README-<folder>.txt), no
#   word of another platform and no placeholder; a Mac's says that its
#   files have not yet run on a Mac.
. "$(dirname "$0")/scratch.sh"
root=$1 version=$3
status=0
fail() { echo "FAIL $*"; status=1; }

# The table's rows, each as "system|function|libraries|sorted sources".
rows() { sed -e '/^#/d' -e 's/ *| */|/g' "$(dirname "$0")/sources.txt" | sort_sources; }
# built SYSTEM: the rows of what each mkoctfile or mex command read from
# stdin builds: the MEX file's name (-o), its libraries and sources.
built() {
    awk -v platform="$1" '$1 == "mkoctfile" || $1 == "mex" {
        libraries = sources = ""
        for (i = 2; i <= NF; i++)
            if ($i == "-o") { name = $(i + 1); sub(/.*\//, "", name); sub(/\.mex$/, "", name); i++ }
            else if ($i ~ /^-l/) libraries = libraries (libraries == "" ? "" : " ") $i
            else if ($i ~ /\.cpp$/) { sub(/.*\//, "", $i); sources = sources (sources == "" ? "" : " ") $i }
        print platform "|" name "|" libraries "|" sources
    }'
}
sort_sources() {
    while IFS='|' read -r system function libraries sources; do
        echo "$system|$function|$libraries|$(printf '%s\n' $sources | sort | tr '\n' ' ' | sed 's/ $//')"
    done | sort
}

# The Makefile in a folder of every family's sources, as the package has it.
mkdir -p "$tmp/src" "$tmp/bin"
cp "$root/packaging/Makefile" "$root/gateway/mex.h" "$tmp/src/"
for family in clock sleep priority; do cp "$root/$family"/*.h "$root/$family"/*.cpp "$tmp/src/"; done
for system in linux win32 darwin; do
    case $system in
    win32) os=Windows_NT uname=Linux ;;
    darwin) os= uname=Darwin ;;
    *) os= uname=Linux ;;
    esac
    printf '#!/bin/sh\necho %s\n' "$uname" >"$tmp/bin/uname"
    chmod +x "$tmp/bin/uname"
    PATH=$tmp/bin:$PATH make -s -n -C "$tmp/src" OS="$os" OCTAVE_CONFIG=true MKOCTFILE=mkoctfile |
        built $system
done | sort_sources >"$tmp/makefile"
rows | cmp -s - "$tmp/makefile" || { fail "packaging/Makefile builds, unlike sources.txt:"; rows | diff - "$tmp/makefile"; }

# mexbuild in Octave, on each system as ispc and ismac tell it.
for system in linux win32 darwin; do
    mexbuild_calls $system "$root" | built $system
done | sort_sources >"$tmp/mexbuild"
rows | cmp -s - "$tmp/mexbuild" || { fail "mexbuild.m builds, unlike sources.txt:"; rows | diff - "$tmp/mexbuild"; }

# Each zip's README: its host, the form of its folder (grep -E), and what
# would tell of another platform.
q="'"
for row in "glnxa64|MATLAB on 64-bit Linux|(/[A-Za-z0-9_.-]+)+|Windows|administrator|C:\\\\|macOS|xattr" \
           "win64|MATLAB on 64-bit Windows|[A-Z]:(\\\\[A-Za-z0-9_.-]+)+|Linux|/etc/|udev|ulimit|macOS|xattr" \
           "maci64|MATLAB on Intel Macs|(/[A-Za-z0-9_.-]+)+|Windows|administrator|C:\\\\|Linux|/etc/|udev|ulimit" \
           "maca64|MATLAB on Apple silicon Macs|(/[A-Za-z0-9_.-]+)+|Windows|administrator|C:\\\\|Linux|/etc/|udev|ulimit"; do
    folder=${row%%|*} rest=${row#*|}
    host=${rest%%|*} rest=${rest#*|}
    path=${rest%%|*} others=${rest#*|}
    "$root/scripts/package" --readme "$folder" >"$tmp/README-$folder" || { fail "no README for $folder"; continue; }
    readme=$tmp/README-$folder
    [ "$(sed -n 1p "$readme")" = "mextime $version for $host" ] ||
        fail "$folder README: its title is '$(sed -n 1p "$readme")', not 'mextime $version for $host'"
    grep -qE "^  addpath\($q$path$q\)\$" "$readme" ||
        fail "$folder README: its addpath does not take a whole $folder path in single quotes: $(grep addpath "$readme")"
    while IFS= read -r line; do
        [ -z "$line" ] || grep -qxF -- "$line" "$readme" || fail "$folder README lacks its platform's line: $line"
    done <"$root/packaging/README-$folder.txt"
    # A Mac's README says where its files were built and checked.
    sed 's/built and checked on Linux//' "$readme" | grep -nE "$others|@[A-Z_]+@" &&
        fail "$folder README speaks of another platform, or keeps a placeholder, above"
    LC_ALL=C grep -n '[^[:print:]]' "$readme" && fail "$folder README has the characters above that are not text"
    case $folder in
    mac*) tr '\n' ' ' <"$readme" | grep -q "not yet run on a *Mac" ||
        fail "$folder README does not say that its files have not yet run on a Mac" ;;
    esac
    # What has run where: nothing yet in MATLAB.
    grep -qE "^  run in the real host +not yet" "$readme" ||
        fail "$folder README does not say that its files have not yet run in the real host"
done
[ $status -eq 0 ] && echo "ok: the Makefile and mexbuild take each platform's files, and each zip's README is its platform's"
exit $status
