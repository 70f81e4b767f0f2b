# Sourced by the package checks: stop at the first failure; $tmp, a scratch
# folder removed on exit; run_octave CODE, in an octave-cli without the
# user's settings, started in $tmp; $pkg_local, the settings that keep
# `pkg install -local` inside $tmp; matlab_blocks DIR ROOT, each ```matlab
# block of ROOT's README.md and docs/*.md as a file DIR/<file>_<line>.m;
# mexbuild_calls SYSTEM ROOT, each call ROOT's mexbuild.m makes to mex
# ("mex ARGS...") run in Octave as on SYSTEM (linux, win32 or darwin, as
# ispc and ismac tell it), with a mex that prints its call instead.
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
mexbuild_calls() {
    mkdir -p "$tmp/$1"
    printf 'function mex (varargin)\n  printf ("mex %%s\\n", strjoin (varargin, " "));\nend\n' >"$tmp/$1/mex.m"
    pc=false mac=false
    case $1 in win32) pc=true ;; darwin) mac=true ;; esac
    echo "function yes = ispc () yes = $pc; end" >"$tmp/$1/ispc.m"
    echo "function yes = ismac () yes = $mac; end" >"$tmp/$1/ismac.m"
    run_octave "warning('off', 'Octave:shadowed-function'); addpath('$2', '$tmp/$1'); mexbuild('$tmp/$1/out');" \
        >"$tmp/$1.log" 2>&1 || { cat "$tmp/$1.log"; exit 1; }
    grep '^mex ' "$tmp/$1.log"
}
