#!/bin/sh
# octave_stop.sh SIGNAL CALL SETUP OCTAVE...: OCTAVE (a command that ends in
# --eval) runs SETUP, then CALL, a long wait, inside
# try/catch and unwind_protect. SIGNAL 2 s into the wait must stop Octave as
# its own pause is stopped, within 1 s: for INT the script ends with nothing
# caught and its cleanup run; for TERM Octave itself ends. CHLD, as a child
# that ends sends it, Octave only notes: CALL, a wait of 4 s, goes on to its
# end, and the script after it.
set -u
signal=$1 call=$2 setup=$3
shift 3
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" "$setup disp('waiting'), fflush(stdout),
unwind_protect, try, $call, catch, disp('CAUGHT'), end, disp('AFTER'),
unwind_protect_cleanup, disp('CLEANUP'), end_unwind_protect" >"$out" 2>&1 &
pid=$!
timeout 30 sh -c 'until grep -q waiting "$1"; do sleep 0.1; done' wait "$out" ||
    { echo "FAIL never started:"; cat "$out"; kill $pid; exit 1; }
sleep 2
start=$(date +%s%N)
kill -"$signal" $pid
wait $pid
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
cat "$out"
fail() { echo "FAIL $*: exit status $status, ended $took_ms ms after SIG$signal"; exit 1; }
if [ "$signal" = CHLD ]; then
    [ $took_ms -ge 1000 ] || fail "the wait was cut short"
    [ $status -eq 0 ] && grep -q AFTER "$out" && ! grep -q CAUGHT "$out" || fail "the script did not go on"
    echo "ok went on $took_ms ms after SIG$signal"
    exit 0
fi
[ $took_ms -lt 1000 ] || fail "too slow"
[ $status -ne 0 ] || fail "the script went on"
! grep -q -e CAUGHT -e AFTER "$out" || fail "the script went on"
[ "$signal" != INT ] || grep -q CLEANUP "$out" || fail "no cleanup"
echo "ok ended $took_ms ms after SIG$signal, exit status $status"
