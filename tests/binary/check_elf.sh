#!/bin/sh
# check_elf.sh FILE NEEDED...: FILE exports mexFunction and nothing else,
# needs exactly the NEEDED libraries (no C++ runtime, no libgcc_s), and
# carries nothing of the build machine (shipped.sh).
. "$(dirname "$0")/fail.sh"
file=$1
shift

exports=$(nm -D --defined-only "$file" | awk '{print $3}' | sort | tr '\n' ' ')
[ "$exports" = "mexFunction " ] || fail "exports: $exports (want: mexFunction)"

needed=$(readelf -d "$file" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
[ "$needed" = "$want" ] || fail "needs: $needed (want: $want)"

"$(dirname "$0")/shipped.sh" "$file" || status=1

[ $status -eq 0 ] && echo "ok $file: exports mexFunction, needs $needed"
exit $status
