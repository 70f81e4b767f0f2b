#!/bin/sh
# interrupt.sh [--twice] COMMAND...: COMMAND prints "waiting", then waits
# 8 s. SIGINT 2 s after that must end it within 1 s, with waituntil's
# message, as Ctrl+C would. --twice, for a call that never looks at the
# flag: the first SIGINT must leave it running, and a second one 0.5 s
# later must end it within 1 s.
set -u
twice=false
[ "$1" = --twice ] && { twice=true; shift; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1 &
pid=$!
timeout 30 sh -c 'until grep -q waiting "$1"; do sleep 0.1; done' wait "$out" ||
    { echo "FAIL never started:"; cat "$out"; kill $pid; exit 1; }
sleep 2
if $twice; then
    kill -INT $pid
    sleep 0.5
    kill -0 $pid 2>/dev/null || { cat "$out"; echo "FAIL the first SIGINT ended it"; exit 1; }
fi
start=$(date +%s%N)
kill -INT $pid
wait $pid
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
cat "$out"
if [ $status -eq 0 ] || [ $took_ms -ge 1000 ] ||
    { ! $twice && ! grep -q "Interrupted before the deadline." "$out"; }; then
    echo "FAIL exit status $status, ended $took_ms ms after SIGINT"
    exit 1
fi
echo "ok ended $took_ms ms after SIGINT, exit status $status"
