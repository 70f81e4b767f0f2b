#!/bin/sh
# check_pe.sh [--exports DEF] FILE MODULE DLL...: FILE is a 64-bit PE DLL
# whose export table is named MODULE and holds mexFunction alone, which
# imports exactly the DLLs given besides the C runtime (msvcrt.dll, or
# ucrtbase.dll and its api-ms-win-crt-* parts), and which carries nothing of
# the build machine (shipped.sh). With --exports, FILE is one of the
# stand-in host's DLLs, never shipped: it exports exactly the names a
# module-definition file lists, and may keep what a debugger uses.
# OBJDUMP: the cross objdump.
. "$(dirname "$0")/fail.sh"
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
want_exports=mexFunction
shipped=yes
if [ "$1" = --exports ]; then
    want_exports=$(sed -n '/^EXPORTS/,$p' "$2" | sed 1d | awk 'NF { print $1 }')
    shipped=no
    shift 2
fi
file=$1
module=$2
shift 2
words() { sort | tr '\n' ' '; }

dump=$("$objdump" -p "$file")

printf '%s\n' "$dump" | grep -q 'file format pei-x86-64' || fail "not a 64-bit PE file"
printf '%s\n' "$dump" | sed -n '/^Characteristics/,/^$/p' | grep -qx '[[:space:]]*DLL' || fail "not a DLL"

name=$(printf '%s\n' "$dump" | awk '$1 == "Name" && NF == 3 { print $3 }')
[ "$name" = "$module" ] || fail "export table names the module '$name' (want: $module)"

# Every exported address, named or by ordinal only, must be a wanted name.
exports=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] \([^ ]*\)$/\1/p' | words)
addresses=$(printf '%s\n' "$dump" | grep -c 'Export RVA$' || true)
want=$(printf '%s\n' "$want_exports" | words)
[ "$exports" = "$want" ] || fail "exports: $exports (want: $want)"
[ "$addresses" -eq "$(printf '%s\n' "$want_exports" | wc -l)" ] || fail "$addresses exported addresses for names: $exports"

# DLL names are case-blind on Windows.
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr '[:upper:]' '[:lower:]' | grep -Ev '^(msvcrt|ucrtbase|api-ms-win-crt-.*)\.dll$' | words)
want=$(printf '%s\n' "$@" | tr '[:upper:]' '[:lower:]' | words)
[ "$imports" = "$want" ] || fail "imports: $imports+ C runtime (want: $want)"

[ $shipped = no ] || OBJDUMP=$objdump "$(dirname "$0")/shipped.sh" "$file" || status=1

[ $status -eq 0 ] && echo "ok $file: module $name, exports $exports, imports $imports+ C runtime"
exit $status
