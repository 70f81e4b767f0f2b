#!/bin/sh
# octave_pkg.sh TARBALL VERSION ROOT NAME...: the Octave package installs
# with `pkg install` into a temporary prefix, loads, and each function
# works; mextimecheck's private functions are installed beside it, every
# one, and its rules hold there (mextimecheck_suite).
. "$(dirname "$0")/scratch.sh"
tarball=$1 version=$2 root=$3
shift 3
run_octave "$pkg_local
  pkg('install', '-local', '$tarball');
  pkg('load', 'mextime');
  info = pkg('list', 'mextime');
  assert(info{1}.version, '$version');
  names = strsplit('$*');
  desc = pkg('describe', '-verbose', 'mextime');
  provided = [desc{1}.provides{:}];
  assert(sort([provided.functions]), sort([names, {'mextimecheck'}]));
  evalc('pkg describe mextime');
  overview = evalc('help mextime');
  assert(! isempty(strfind(overview, 'Version $version ')), overview);
  for k = 1:numel(names)
    assert(! isempty(regexp(overview, ['\n +' names{k} ' +- '], 'once')), names{k});
  end
  assert(exist('mextimecheck'), 2);
  addpath('$root/tests/package', '$root/tests/octave');
  check_functions('$tmp/prefix/', strsplit('$*'));
  check_private('$tmp/prefix/', '$root/selfcheck/private');"
