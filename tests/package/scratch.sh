# Sourced by the package checks: stop at the first failure; $tmp, a scratch
# folder removed on exit; run_octave CODE, in an octave-cli without the
# user's settings, started in $tmp; $pkg_local, the settings that keep
# `pkg install -local` inside $tmp.
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
run_octave() { (cd "$tmp" && octave-cli --norc --no-history --quiet --eval "$1"); }
pkg_local="pkg('prefix', '$tmp/prefix', '$tmp/prefix'); pkg('local_list', '$tmp/local_list');
  pkg('global_list', '$tmp/global_list');"
