#!/bin/sh
# shipped.sh FILE...: each file, as users receive it, carries nothing of the
# machine that built it: no path listed in MEXTIME_MACHINE_PATHS (the
# checkout, build and dist folders, colon-separated) and, in an ELF or PE
# binary, no run path, debug section or symbol table; in a Mach-O file, whose
# symbol table dyld reads, no run path, debug section or debug map. A binary
# keeps its unwind tables (.eh_frame, .pdata, __unwind_info): host errors
# unwind through it.
# OBJDUMP: an objdump that reads PE files. LLVM_OBJDUMP, LLVM_NM: LLVM's,
# which read Mach-O files.
. "$(dirname "$0")/fail.sh"
objdump=${OBJDUMP:-objdump}
llvm_objdump=${LLVM_OBJDUMP:-llvm-objdump-14}
llvm_nm=${LLVM_NM:-llvm-nm-14}
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
    317372355376)
        headers=$("$llvm_objdump" --macho --private-headers "$file")
        names=$("$llvm_objdump" --macho --section-headers "$file" | awk '$1 ~ /^[0-9]+$/ { print "." $2 }')
        names="$names
$(printf '%s\n' "$headers" | awk '$1 == "segname" { print "." $2 }')"
        unwind=.__unwind_info
        printf '%s\n' "$headers" | grep -qw LC_RPATH &&
            fail "has a run path: $(printf '%s\n' "$headers" | grep -A2 -w LC_RPATH | sed -n 's/^ *path //p')"
        # A debug map: stab entries naming the sources and objects linked.
        "$llvm_nm" -a "$file" | grep -q '^[0-9a-f ]* - ' && fail "has a debug map"
        printf '%s\n' "$names" | grep -qxE '\.__(DWARF|debug_.*)' && fail "has debug sections"
        ;;
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
