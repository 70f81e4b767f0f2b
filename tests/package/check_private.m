## check_private (WHERE, SOURCE): the mextimecheck found on the path is
## under WHERE with a private folder of the same files as SOURCE, and its
## rules hold there: mextimecheck_suite passes against it.
function check_private (where, source)
  shipped = fullfile (fileparts (which ("mextimecheck")), "private");
  assert (strncmp (shipped, where, numel (where)), "mextimecheck runs from %s", shipped);
  list = @(folder) sort ({dir(fullfile (folder, "*.m")).name});
  assert (list (shipped), list (source));
  [n, nmax] = test ("mextimecheck_suite", "quiet", stdout);
  assert (n == nmax && nmax > 0, "mextimecheck_suite: %d of %d passed", n, nmax);
  printf ("mextimecheck: %d private functions in %s, %d tests passed\n", numel (list (shipped)), shipped, n);
endfunction
