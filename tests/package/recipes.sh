#!/bin/sh
# recipes.sh ROOT DIST: the recipes users copy from README.md and docs/*.md
# run as written. Each ```matlab block that defines a function is saved as
# that function's file, and recipes.m runs them with short trials against
# the Octave files in DIST/octave; the zips' README.txt shows the same
# run_trials. (portable.sh scans the same blocks for Octave-only syntax.)
. "$(dirname "$0")/scratch.sh"
root=$1 dist=$2
awk -v dir="$tmp" '
/^```matlab[ \t]*$/ { inside = 1; first = 1; out = ""; next }
/^```/ { if (out != "") close(out); inside = 0; out = ""; next }
inside && first {
    first = 0
    if ($0 ~ /^function /) {
        name = $0
        sub(/^function +(\[[^]]*\] *= *|[A-Za-z0-9_]+ *= *)?/, "", name)
        sub(/[^A-Za-z0-9_].*/, "", name)
        out = dir "/" name ".m"
        printf "%s: %s\n", FILENAME, name
    }
}
inside && out != "" { print > out }
' "$root/README.md" "$root"/docs/*.md
# The zips' README.txt shows the README's run_trials, indented by two spaces.
sed -n '/^  function \[onset, onset_utc\] = run_trials/,/^$/p' "$root/packaging/README.txt" |
    sed -e '/^$/d' -e 's/^  //' | cmp -s - "$tmp/run_trials.m" ||
    { echo "packaging/README.txt's run_trials is not README.md's"; exit 1; }
run_octave "addpath('$dist/octave', '$tmp', '$root/tests/package', '$root/tests/octave'); recipes('$tmp')"
