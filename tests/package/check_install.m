## check_install (WHERE, NAMES, SOURCE): each of NAMES is a MEX file under
## WHERE, `help` prints its help, and the tests of its help file pass there:
## it works when called, errors included. And the mextimecheck found on the
## path is under WHERE with a private folder of the same files as SOURCE,
## and its rules hold there: mextimecheck_suite passes against it.
function check_install (where, names, source)
  for k = 1:numel (names)
    name = names{k};
    file = which (name);
    assert (strncmp (file, where, numel (where)) && exist (name) == 3, "%s runs from %s", name, file);
    assert (! isempty (strfind (evalc (["help " name]), [upper(name) "  "])), "no help for %s", name);
    [n, nmax] = test (name, "quiet", stdout);
    assert (n == nmax && nmax > 0, "test %s: %d of %d passed", name, n, nmax);
    printf ("%s: %s, %d tests passed\n", name, file, n);
  endfor
  shipped = fullfile (fileparts (which ("mextimecheck")), "private");
  assert (strncmp (shipped, where, numel (where)), "mextimecheck runs from %s", shipped);
  list = @(folder) sort ({dir(fullfile (folder, "*.m")).name});
  assert (list (shipped), list (source));
  [n, nmax] = test ("mextimecheck_suite", "quiet", stdout);
  assert (n == nmax && nmax > 0, "mextimecheck_suite: %d of %d passed", n, nmax);
  printf ("mextimecheck: %d private functions in %s, %d tests passed\n", numel (list (shipped)), shipped, n);
endfunction
