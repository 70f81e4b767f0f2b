#!/bin/sh
# mexbuild.sh ROOT DIST VERSION NAME...: mexbuild.m, in Octave (whose mex wraps mkoctfile),
# builds the functions into a fresh folder, where they run with their help
# and the overview, and mextimecheck with its private functions.
. "$(dirname "$0")/scratch.sh"
root=$1
shift 3
run_octave "
  addpath('$root');
  mexbuild('$tmp/out');
  addpath('$root/tests/package', '$root/tests/octave', '$tmp/out');
  assert(strcmp(which('mextimecheck'), '$tmp/out/mextimecheck.m'));
  check_install('$tmp/out/', strsplit('$*'), '$root/selfcheck/private');
  assert(isempty(strfind(fileread(which('mextimecheck')), '@PROJECT_VERSION@')));
  overview = evalc('help mextime');
  assert(! isempty(regexp(overview, 'Version [0-9.]+ [0-9]+-[A-Z][a-z]+-[0-9]+', 'once')), overview);"
