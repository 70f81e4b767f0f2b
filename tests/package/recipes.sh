#!/bin/sh
# recipes.sh ROOT DIST: the recipes users copy from README.md and docs/*.md
# run as written. Each ```matlab block that defines a function is saved as
# that function's file, and recipes.m runs them with short trials against
# the Octave files in DIST/octave; the zips' README.txt shows the same
# run_trials. (portable.sh scans the same blocks for Octave-only syntax.)
. "$(dirname "$0")/scratch.sh"
root=$1 dist=$2
matlab_blocks "$tmp/blocks" "$root"
for block in "$tmp"/blocks/*.m; do
    name=$(sed -nE '1s/^function +(\[[^]]*\] *= *|[A-Za-z0-9_]+ *= *)?([A-Za-z0-9_]+).*/\2/p' "$block")
    [ -z "$name" ] || { echo "$block: $name"; cp "$block" "$tmp/$name.m"; }
done
# The zips' README.txt shows the README's run_trials, indented by two spaces.
sed -n '/^  function \[onset, onset_utc\] = run_trials/,/^$/p' "$root/packaging/README.txt" |
    sed -e '/^$/d' -e 's/^  //' | cmp -s - "$tmp/run_trials.m" ||
    { echo "packaging/README.txt's run_trials is not README.md's"; exit 1; }
run_octave "addpath('$dist/octave', '$tmp', '$root/tests/package', '$root/tests/octave'); recipes('$tmp')"
