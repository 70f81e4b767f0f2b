#!/bin/sh
# octave_pkg.sh ROOT DIST VERSION NAME...: the Octave package installs
# with `pkg install` into a temporary prefix, loads, and each function
# works; mextimecheck's private functions are installed beside it, every
# one, and its rules hold there (mextimecheck_suite). And the self-tests that
# ship in the help files pass as `pkg test mextime` runs them: no failure,
# and the tests of every function run. Prints what pkg test printed.
. "$(dirname "$0")/scratch.sh"
root=$1 dist=$2 version=$3
shift 3
run_octave "$pkg_local
  pkg('install', '-local', '$dist/mextime-$version.tar.gz');
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
  check_install('$tmp/prefix/', names, '$root/selfcheck/private');
  out = evalc('pkg test mextime');
  printf('%s', out);
  summary = out(max([0, strfind(out, 'Summary:')]) + 1:end);
  pass = str2double(regexp(summary, '\n +PASS +([0-9]+)\n', 'tokens', 'once'));
  fail = str2double(regexp(summary, '\n +FAIL +([0-9]+)\n', 'tokens', 'once'));
  assert(fail == 0 && pass > 0, 'pkg test mextime: %d passed, %d failed', pass, fail);
  for name = [names, {'mextimecheck'}]
    assert(! isempty(regexp(out, ['/' name{1} '\.m[ .]+pass +[1-9]'], 'once')), 'pkg test ran no test of %s', name{1});
  end"
