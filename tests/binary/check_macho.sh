#!/bin/sh
# check_macho.sh FILE ARCH MINIMUM [DEF...]: FILE is a 64-bit Mach-O dylib
# for ARCH (Zig's name: x86_64 or aarch64) that macOS MINIMUM loads; it
# exports _mexFunction alone and names itself by its file name; it loads
# /usr/lib/libSystem.B.dylib and nothing else, binding every other call to
# it; the host's calls, and only the names the module-definition files DEF
# list, are looked up in the running process; with no DEF it looks up
# nothing there. arm64 files carry a valid ad hoc signature (macOS kills an
# unsigned arm64 process image). And it carries nothing of the build
# machine (shipped.sh). OBJDUMP, NM: LLVM's, which read Mach-O files.
. "$(dirname "$0")/fail.sh"
objdump=${OBJDUMP:-llvm-objdump-14}
nm=${NM:-llvm-nm-14}
file=$1 arch=$2 minimum=$3
shift 3
here=$(dirname "$0")
words() { sort -u | tr '\n' ' '; }

headers=$("$objdump" --macho --private-headers "$file") || { echo "FAIL $file: not a Mach-O file"; exit 1; }
case $arch in
aarch64) cpu=ARM64 ;;
x86_64) cpu=X86_64 ;;
*) echo "check_macho.sh: unknown architecture $arch"; exit 2 ;;
esac
header=$(printf '%s\n' "$headers" | awk '$1 == "MH_MAGIC_64"')
[ "$(printf '%s\n' "$header" | awk '{ print $2 }')" = "$cpu" ] || fail "not a 64-bit $cpu file: $header"
[ "$(printf '%s\n' "$header" | awk '{ print $5 }')" = DYLIB ] || fail "not a dylib: $header"

# The load commands, one "cmd name" line each, with their name or version.
commands=$(printf '%s\n' "$headers" | awk '
    $1 == "cmd" { if (cmd != "") print cmd, value; cmd = $2; value = "" }
    $1 == "name" || $1 == "minos" || $1 == "version" || $1 == "path" { if (value == "") value = $2 }
    END { if (cmd != "") print cmd, value }')
command() { printf '%s\n' "$commands" | awk -v c="$1" '$1 == c { print $2 }'; }
has() { printf '%s\n' "$commands" | awk -v c="$1" '$1 == c { found = 1 } END { exit !found }'; }

exports=$("$objdump" --macho --exports-trie "$file" | awk '/^0x/ { print $2 }' | words)
[ "$exports" = "_mexFunction " ] || fail "exports: $exports(want: _mexFunction)"
defined=$("$nm" -g --defined-only "$file" | awk '{ print $NF }' | words)
[ "$defined" = "_mexFunction " ] || fail "external symbols: $defined(want: _mexFunction)"

id=$(command LC_ID_DYLIB)
[ "$id" = "$(basename "$file")" ] || fail "names itself '$id' (want: $(basename "$file"))"

libraries=$(for c in LC_LOAD_DYLIB LC_LOAD_WEAK_DYLIB LC_REEXPORT_DYLIB LC_LOAD_UPWARD_DYLIB LC_LAZY_LOAD_DYLIB; do
    command $c; done | words)
[ "$libraries" = "/usr/lib/libSystem.B.dylib " ] || fail "loads: $libraries(want: /usr/lib/libSystem.B.dylib)"

minos=$(command LC_BUILD_VERSION)$(command LC_VERSION_MIN_MACOSX)
[ "$minos" = "$minimum" ] || fail "needs macOS '$minos' (want: $minimum)"

# Every bound name: "dylib symbol", where dylib is libSystem or
# flat-namespace (looked up in the process).
binds=$("$objdump" --macho --bind --lazy-bind --weak-bind "$file" | awk '
    /^Bind table:/ { table = "bind"; next }
    /^Lazy bind table:/ { table = "lazy"; next }
    /^Weak bind table:/ { table = "weak"; next }
    /^segment/ || NF == 0 || table == "" { next }
    table == "bind" || table == "lazy" { print $(NF - 1), $NF }
    table == "weak" { print "weak", $NF }')
others=$(printf '%s\n' "$binds" | awk 'NF && $1 != "libSystem" && $1 != "flat-namespace"' | words)
[ -z "$others" ] || fail "binds outside libSystem: $others"
looked_up=$(printf '%s\n' "$binds" | awk '$1 == "flat-namespace" { print $2 }' | words)
host=$(for def in "$@"; do sed -n '/^EXPORTS/,$p' "$def" | sed 1d | awk 'NF { print "_" $1 }'; done | words)
unknown=$(for name in $looked_up; do case " $host" in *" $name "*) ;; *) echo "$name" ;; esac; done | words)
[ -z "$unknown" ] || fail "looks up names the host does not define: $unknown"
if [ $# -gt 0 ] && [ -z "$looked_up" ]; then fail "looks up none of the host's calls"; fi

if has LC_CODE_SIGNATURE || [ "$cpu" = ARM64 ]; then
    python3 "$here/macho_signature.py" "$file" || status=1
fi

LLVM_OBJDUMP=$objdump LLVM_NM=$nm "$here/shipped.sh" "$file" || status=1

[ $status -eq 0 ] && echo "ok $file: $cpu, macOS $minos, exports ${exports% }, loads ${libraries% }, looks up ${looked_up% }"
exit $status
