#!/bin/sh
# pkg_test.sh TARBALL NAME...: the self-tests that ship in the help files
# pass where a user installs the package: `pkg test mextime` reports no
# failure and runs the tests of every function (octave_pkg.sh runs `test
# NAME` there). Prints what pkg test printed.
. "$(dirname "$0")/scratch.sh"
tarball=$1
shift
run_octave "$pkg_local
  pkg('install', '-local', '$tarball');
  out = evalc('pkg test mextime');
  printf('%s', out);
  summary = out(max([0, strfind(out, 'Summary:')]) + 1:end);
  pass = str2double(regexp(summary, '\n +PASS +([0-9]+)\n', 'tokens', 'once'));
  fail = str2double(regexp(summary, '\n +FAIL +([0-9]+)\n', 'tokens', 'once'));
  assert(fail == 0 && pass > 0, 'pkg test mextime: %d passed, %d failed', pass, fail);
  names = [strsplit('$*'), {'mextimecheck'}];
  for k = 1:numel(names)
    assert(! isempty(regexp(out, ['/' names{k} '\.m[ .]+pass +[1-9]'], 'once')), 'pkg test ran no test of %s', names{k});
  end"
