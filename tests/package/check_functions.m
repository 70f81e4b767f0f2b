## check_functions (WHERE, NAMES): each of NAMES is a MEX file under WHERE,
## `help` prints its help, and the tests of its help file pass there: it
## works when called, errors included.
function check_functions (where, names)
  for k = 1:numel (names)
    name = names{k};
    file = which (name);
    assert (strncmp (file, where, numel (where)) && exist (name) == 3, "%s runs from %s", name, file);
    assert (! isempty (strfind (evalc (["help " name]), [upper(name) "  "])), "no help for %s", name);
    [n, nmax] = test (name, "quiet", stdout);
    assert (n == nmax && nmax > 0, "test %s: %d of %d passed", name, n, nmax);
    printf ("%s: %s, %d tests passed\n", name, file, n);
  endfor
endfunction
