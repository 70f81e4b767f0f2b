#!/bin/sh
# selfcheck_user.sh FOLDER: mextimecheck as an ordinary user, made for the
# test and removed afterwards, from a copy of FOLDER (dist/octave) that any
# user may read: rtboost obtains nothing, and its warning is not shown but
# reported, so one pass is measured; the PM QoS request is refused; every
# behaviour check passes; every platform check answers, the limits' as
# holding (rtboost took what they permit, nothing) and the PM QoS
# request's as not. Needs root to make the user; skipped (77) without it.
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
  out = evalc('r = mextimecheck();');
  printf('%s', out);
  assert(r.passed, strjoin(r.failures, '; '));
  assert(! r.priority.obtained && isempty(r.boosted), 'rtboost obtained something');
  assert(strcmp(r.priority.warning, 'MATLAB:rtboost:notGranted') && isempty(strfind(out, 'warning:')), 'rtboost''s warning');
  assert(isequal(r.wakeup_latency_request, false), 'the PM QoS request was not refused');
  answers = cell2struct({r.platform.verdict}, {r.platform.name}, 2);
  assert(! any(strcmp(struct2cell(answers), 'cannot tell')), 'a platform check did not answer');
  assert(strcmp(answers.rtprio_limit, 'holds') && strcmp(answers.nice_limit, 'holds'), 'the limits');
  assert(strcmp(answers.wakeup_latency, 'does not hold'), 'the PM QoS request');"
