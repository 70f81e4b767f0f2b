#!/bin/sh
# shipped.sh FILE...: each file, as users receive it, carries nothing of the
# machine that built it: no path listed in MEXTIME_MACHINE_PATHS (the
# checkout, build and dist folders, colon-separated) and, in an ELF or PE
# binary, no run path, debug section or symbol table. A binary keeps its
# unwind tables (.eh_frame, .pdata): host errors unwind through it.
# OBJDUMP: an objdump that reads PE files.
set -eu
objdump=${OBJDUMP:-objdump}
status=0
fail() {
    echo "FAIL $file: $*"
    status=1 bad=1
}
sections() { sed -n 's/^ *\[ *[0-9]*\] \([^ ]*\).*/\1/p'; }

[ -n "${MEXTIME_MACHINE_PATHS:-}" ] || { echo "shipped.sh: MEXTIME_MACHINE_PATHS is not set"; exit 2; }
set -f  # the paths are text, not patterns

for file in "$@"; do
    bad=0
    text=$(strings -a "$file")
    leaks=""
    IFS=:
    for path in $MEXTIME_MACHINE_PATHS; do
        case $text in *"$path"*) [ -z "$path" ] || leaks="$leaks $path" ;; esac
    done
    unset IFS
    [ -z "$leaks" ] || fail "names a path of the build machine:$leaks"

    magic=$(od -An -c -N4 "$file" | tr -d ' ')
    case $magic in
    177ELF)
        names=$(readelf -S -W "$file" | sections)
        unwind=.eh_frame
        readelf -d "$file" | grep -qE '\((RPATH|RUNPATH)\)' &&
            fail "has a run path: $(readelf -d "$file" | sed -n 's/.*path: //p')"
        ;;
    MZ*)
        names=$("$objdump" -h "$file" | awk '$1 ~ /^[0-9]+$/ { print $2 }')
        unwind=.pdata
        # A COFF symbol table: the one a strip removes.
        "$objdump" -f "$file" | grep -qw HAS_SYMS && fail "has a symbol table"
        ;;
    *) continue ;;
    esac
    debug=$(printf '%s\n' "$names" | grep -E '^\.(z?debug|stab|gnu_debug|symtab)' | xargs) || :
    [ -z "$debug" ] || fail "has debug sections or symbols: $debug"
    printf '%s\n' "$names" | grep -qx "$unwind" || fail "has no $unwind unwind table"
    [ $bad -eq 1 ] || echo "ok $file: nothing of the build machine"
done
exit $status
