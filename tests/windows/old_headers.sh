#!/bin/sh
# Every Windows source compiles against the headers of mingw-w64 8.0
# (Debian bullseye's), without the newer declarations of this machine's:
# MATLAB's MinGW add-ons and older Windows SDKs are as old or older.
#   old_headers.sh fetch CACHE                   fetches and unpacks them once
#   old_headers.sh build CACHE COMMANDS          each command of a tree's
#       compile_commands.json, as the build compiles it
#   old_headers.sh mexbuild CACHE CXX ROOT COMMANDS   each source as
#       mexbuild.m compiles it on Windows, with its flags, for the same
#       Windows API (_WIN32_WINNT) as the build's COMMANDS
# The packages come from Debian's archive, pinned by their SHA-256, and are
# unpacked, never installed. Only the headers change: the compiler and its
# C++ library are the ones at hand.
. "$(dirname "$0")/../package/scratch.sh"
mode=$1 cache=$2
shift 2
MIRROR=https://deb.debian.org/debian/pool/main/m/mingw-w64
PACKAGES="mingw-w64-common_8.0.0-1_all.deb 9c93b4f7af930e6d83d3360f2389b307c7e496df9ddd5090266f9f02249abad6
mingw-w64-x86-64-dev_8.0.0-1_all.deb 5c09e80ab53b44bfdebf87182ebe0241bfae8340ca3cfda2cc466ee0450cedd7"
dir=$cache/mingw-w64-8.0.0
headers=$dir/root/usr/x86_64-w64-mingw32/include

fetch() {
    [ -f "$headers/windows.h" ] && return 0
    rm -rf "$dir"
    mkdir -p "$dir/unpacking"
    echo "$PACKAGES" | while read -r deb sum; do
        curl -fsSL --retry 3 -o "$dir/$deb" "$MIRROR/$deb"
        echo "$sum  $dir/$deb" | sha256sum -c --quiet - ||
            { echo "FAIL $deb is not the package pinned here" >&2; exit 1; }
        dpkg-deb -x "$dir/$deb" "$dir/unpacking"
        rm "$dir/$deb"
    done
    # The headers alone are kept (the import libraries are most of the rest).
    rm -rf "$dir/unpacking/usr/x86_64-w64-mingw32/lib" "$dir/unpacking/usr/share/doc"
    mv "$dir/unpacking" "$dir/root"
    echo "unpacked into $dir/root"
}

# The compiler's own headers and its C++ library's (under lib/gcc/), in its
# order, then the old Windows headers in place of its own.
old_header_flags() {
    [ -f "$headers/windows.h" ] || { echo "FAIL no headers in $dir: run '$0 fetch $cache'" >&2; exit 1; }
    flags=-nostdinc
    for d in $("$1" -xc++ -E -v - </dev/null 2>&1 | sed -n '/^#include <...> search starts here:/,/^End of search list/p' | sed -n 's/^ //p'); do
        case $(realpath "$d") in */lib/gcc/*) flags="$flags -isystem $d" ;; esac
    done
    echo "$flags -isystem $headers"
}

failed=0 count=0
# compile DIR COMMAND...: one source (the command's last word), checked
# only, in the folder its command names.
compile() {
    count=$((count + 1))
    cwd=$1
    shift
    eval "source=\${$#}"
    if out=$(cd "$cwd" && "$@" 2>&1); then
        echo "ok $source"
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n%s\n' "$source" "$out"
    fi
}

case $mode in
fetch) fetch; exit 0 ;;
build)
    # Each command with its output and -c left out, checked only; once for
    # a source that several files build with the same flags (but for the
    # macro CMake names each target's exports by, which no source reads).
    commands=$(python3 - "$1" <<'PY'
import json, os, shlex, sys
seen = set()
for entry in json.load(open(sys.argv[1])):
    args = entry.get("arguments") or shlex.split(entry["command"])
    kept = [a for i, a in enumerate(args) if a not in ("-c", "-o") and (i == 0 or args[i - 1] != "-o")]
    flags = [open(os.path.join(entry["directory"], a[1:])).read() if a.startswith("@") else a
             for a in kept if not (a.startswith("-D") and a.endswith("_EXPORTS"))]
    if repr(flags) in seen: continue
    seen.add(repr(flags))
    print(shlex.quote(entry["directory"]), " ".join(shlex.quote(a) for a in kept))
PY
)
    ;;
mexbuild)
    cxx=$1 root=$2 build_commands=$3
    # mexbuild in Octave, told it runs on a PC (scratch.sh).
    mexbuild_calls win32 "$root" >"$tmp/calls" || :
    [ -s "$tmp/calls" ] || { echo "FAIL mexbuild called no mex"; exit 1; }
    # What a lab PC builds is what CI builds: the same API in every call.
    api() { grep -o -- '-D_WIN32_WINNT=[^ "]*' | sort -u | tr '\n' ' '; }
    [ "$(api <"$tmp/calls")" = "$(api <"$build_commands")" ] &&
        [ "$(grep -c -- -D_WIN32_WINNT= "$tmp/calls")" -eq "$(wc -l <"$tmp/calls")" ] ||
        { echo "FAIL mexbuild declares '$(api <"$tmp/calls")', the build '$(api <"$build_commands")'"; exit 1; }
    # Each source with the defines and folders of its call, once. gnu++14:
    # what gcc 6 to 10 (MATLAB's MinGW add-ons) and Visual Studio 2017 and
    # later compile by default; mexbuild names no standard.
    # shellcheck disable=SC2086
    commands=$(while read -r _ args; do
        defines=$(printf '%s\n' $args | grep -E '^-[ID]' | tr '\n' ' ')
        printf '%s\n' $args | grep '[.]cpp$' | sed "s|^|$tmp $cxx -std=gnu++14 $defines|"
    done <"$tmp/calls" | sort -u)
    ;;
*) echo "usage: $0 fetch|build|mexbuild CACHE ..." >&2; exit 2 ;;
esac
[ -n "$commands" ] || { echo "FAIL no commands to compile"; exit 1; }
flags=$(old_header_flags "$(echo "$commands" | head -n 1 | awk '{ print $2 }')")
while read -r cwd compiler rest; do
    # shellcheck disable=SC2086
    eval "compile $cwd $compiler $flags -fsyntax-only $rest"
done <<EOT
$commands
EOT
echo "old headers: $count compiled, $failed failed"
[ "$failed" -eq 0 ]
