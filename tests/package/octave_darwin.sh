#!/bin/sh
# octave_darwin.sh TARBALL ZIG TARGET: the Octave package's Makefile, run as
# `pkg install` runs it on a Mac, takes the Darwin files (or the POSIX or
# shared ones) for every function, and each of those sources compiles for
# macOS against macOS's own headers (Zig's, for TARGET, x86_64 or aarch64),
# as Octave's mkoctfile would compile it there. No Mac links or runs them.
set -eu
tarball=$1 zig=$2 target=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tar -xzf "$tarball" -C "$tmp"
src=$tmp/mextime/src

# Stands in for mkoctfile: "--mex FLAGS... -o OUT SOURCES...".
cat >"$tmp/mkoctfile" <<SCRIPT
#!/bin/sh
set -eu
shift  # --mex
flags=""
out=""
while [ \$# -gt 0 ]; do
    case \$1 in
    -o) out=\$2; shift 2 ;;
    -D*) flags="\$flags \$1"; shift ;;
    *) break ;;
    esac
done
echo "\$(basename "\$out"): \$*" >>"$tmp/built"
for source in "\$@"; do
    "$zig" c++ -target $target-macos.11.0 -std=c++17 -fno-rtti -Wall -Werror \$flags -c "\$source" -o "$tmp/object.o"
done
: >"\$out"
SCRIPT
chmod +x "$tmp/mkoctfile"

# A Mac as the Makefile asks: uname -s answers Darwin.
printf '#!/bin/sh\necho Darwin\n' >"$tmp/uname"
chmod +x "$tmp/uname"
PATH=$tmp:$PATH make -s -C "$src" MKOCTFILE="$tmp/mkoctfile" OCTAVE_CONFIG=true >"$tmp/make.log" 2>&1 ||
    { cat "$tmp/make.log"; echo "FAIL: the package does not build for macOS"; exit 1; }
cat "$tmp/built"
# Every part with a Darwin file is built from it, never from Linux's.
status=0
if grep -E '_(linux|win32)\.cpp' "$tmp/built"; then
    echo "FAIL: another system's files, above"
    status=1
fi
for file in "$src"/*_darwin.cpp; do
    grep -q " $(basename "$file")" "$tmp/built" || { echo "FAIL: $(basename "$file") is in no function"; status=1; }
done
[ $status -eq 0 ] && echo "ok: every function compiles for $target macOS from the package"
exit $status
