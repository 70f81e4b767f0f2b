#!/bin/sh
# stop.sh HOW COMMAND...: COMMAND prints "waiting", then waits; a signal 2 s
# after that must stop it as its host would, within 1 s. HOW:
#   interrupt  SIGINT, as Ctrl+C reaches mexhost: it ends with waituntil's
#              message.
#   twice      for a call that never looks at the flag: the first SIGINT
#              must leave it running, and a second one 0.5 s later end it.
#   INT, TERM  Octave, running a long wait inside try/catch and
#              unwind_protect (printing CAUGHT, AFTER, CLEANUP), stops as
#              for its own pause: for INT the script ends with nothing
#              caught and its cleanup run; for TERM Octave itself ends.
#   CHLD       sent as by a child that ends, which Octave only notes: the
#              wait (4 s) goes on to its end, and the script after it.
set -u
how=$1
shift
signal=$how
case $how in interrupt | twice) signal=INT ;; esac
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1 &
pid=$!
timeout 30 sh -c 'until grep -q waiting "$1"; do sleep 0.1; done' wait "$out" ||
    { echo "FAIL never started:"; cat "$out"; kill $pid; exit 1; }
sleep 2
if [ "$how" = twice ]; then
    kill -INT $pid
    sleep 0.5
    kill -0 $pid 2>/dev/null || { cat "$out"; echo "FAIL the first SIGINT ended it"; exit 1; }
fi
start=$(date +%s%N)
kill -"$signal" $pid
wait $pid
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
cat "$out"
fail() { echo "FAIL $*: exit status $status, ended $took_ms ms after SIG$signal"; exit 1; }
has() { grep -q "$1" "$out"; }
if [ "$how" = CHLD ]; then
    [ $took_ms -ge 1000 ] || fail "the wait was cut short"
    [ $status -eq 0 ] && has AFTER && ! has CAUGHT || fail "the script did not go on"
    echo "ok went on $took_ms ms after SIG$signal"
    exit 0
fi
[ $took_ms -lt 1000 ] || fail "too slow"
[ $status -ne 0 ] || fail "the call went on"
case $how in
interrupt) has "Interrupted before the deadline." || fail "no interrupted error" ;;
INT | TERM) ! has CAUGHT && ! has AFTER || fail "the script went on" ;;
esac
[ "$how" != INT ] || has CLEANUP || fail "no cleanup"
echo "ok ended $took_ms ms after SIG$signal, exit status $status"
