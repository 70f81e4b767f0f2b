## raised_log (ID): ID, an identifier a test saw raised, as a line of the
## file MEXTIME_RAISED_LOG names, where it names one: the identifiers
## check (tests/sweep/raised.sh) reads what the suites raised.
function raised_log (id)
  log = getenv ("MEXTIME_RAISED_LOG");
  if (isempty (log) || isempty (id))
    return;
  endif
  fid = fopen (log, "a");
  assert (fid >= 0, "cannot append to %s", log);
  fprintf (fid, "%s\n", id);
  fclose (fid);
endfunction
