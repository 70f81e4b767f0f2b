#!/bin/sh
# check_elf.sh FILE NEEDED...: FILE exports mexFunction and nothing else,
# needs exactly the NEEDED libraries (no C++ runtime, no libgcc_s), and
# carries nothing of the build machine (shipped.sh).
set -eu
file=$1
shift
status=0

exports=$(nm -D --defined-only "$file" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "mexFunction " ]; then
    echo "FAIL $file exports: $exports (want: mexFunction)"
    status=1
fi

needed=$(readelf -d "$file" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
if [ "$needed" != "$want" ]; then
    echo "FAIL $file needs: $needed (want: $want)"
    status=1
fi

"$(dirname "$0")/shipped.sh" "$file" || status=1

[ $status -eq 0 ] && echo "ok $file: exports mexFunction, needs $needed"
exit $status
