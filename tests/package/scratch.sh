# Sourced by the package checks: stop at the first failure; $tmp, a scratch
# folder removed on exit; run_octave CODE, in an octave-cli without the
# user's settings, started in $tmp; $pkg_local, the settings that keep
# `pkg install -local` inside $tmp; matlab_blocks DIR ROOT, each ```matlab
# block of ROOT's README.md and docs/*.md as a file DIR/<file>_<line>.m.
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
run_octave() { (cd "$tmp" && octave-cli --norc --no-history --quiet --eval "$1"); }
pkg_local="pkg('prefix', '$tmp/prefix', '$tmp/prefix'); pkg('local_list', '$tmp/local_list');
  pkg('global_list', '$tmp/global_list');"
matlab_blocks() {
    mkdir -p "$1"
    awk -v dir="$1" '
/^```matlab[ \t]*$/ { name = FILENAME; gsub(/[^A-Za-z0-9]/, "_", name); out = dir "/" name "_" FNR ".m"; next }
/^```/ { if (out != "") close(out); out = ""; next }
out != "" { print > out }
' "$2/README.md" "$2"/docs/*.md
}
