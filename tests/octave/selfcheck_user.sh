#!/bin/sh
# selfcheck_user.sh FOLDER: mextimecheck as an ordinary user, made for the
# test and removed afterwards, from a copy of FOLDER (dist/octave) that any
# user may read: rtboost obtains nothing, so one pass is measured; the PM
# QoS request is refused; every behaviour check passes. Needs root to make
# the user; skipped (77) without it.
set -eu
[ "$(id -u)" -eq 0 ] || { echo "skipped: only root can make a user for the test"; exit 77; }
user=mextime-check-$$
copy=$(mktemp -d)
trap 'userdel -r "$user" >/dev/null 2>&1 || :; rm -rf "$copy"' EXIT
cp -R "$1"/* "$copy/"
chmod -R a+rX "$copy"
useradd --create-home --home-dir "$copy/home" --shell /bin/sh "$user"
runuser -u "$user" -- octave-cli --norc --no-history --quiet --eval "
  addpath('$copy');
  r = mextimecheck();
  assert(r.passed, strjoin(r.failures, '; '));
  assert(! r.priority.obtained && isempty(r.boosted), 'rtboost obtained something');
  assert(isequal(r.wakeup_latency_request, false), 'the PM QoS request was not refused');"
