#!/bin/sh
# raised.sh ROOT LOG: every identifier the functions can raise, as their
# sources and help files name them (MATLAB:<function>:<condition> in clock/,
# sleep/, priority/ and help/; mextimecheck:<condition> in selfcheck/), is
# in LOG, where the stand-in suite and the Octave suites wrote each
# identifier they saw raised, as an error or a warning, in this run. A
# failure path that no test takes shows here. Prints each identifier.
set -u
root=$1 log=$2
[ -s "$log" ] || { echo "FAIL $log is empty: no suite wrote what it raised"; exit 1; }
ids=$({ grep -rhoE 'MATLAB:[A-Za-z]+:[A-Za-z]+' "$root/clock" "$root/sleep" "$root/priority" "$root/help"
        grep -rhoE 'mextimecheck:[A-Za-z]+' "$root/selfcheck" "$root/help"; } | sort -u)
[ -n "$ids" ] || { echo "FAIL no identifier found in $root"; exit 1; }
status=0
for id in $ids; do
    if grep -qxF "$id" "$log"; then
        echo "raised $id"
    else
        echo "FAIL no test raises $id"
        status=1
    fi
done
echo "$(echo "$ids" | wc -l) identifiers in the sources and help files"
exit $status
