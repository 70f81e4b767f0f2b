## check_functions (WHERE, NAMES): each of NAMES is a MEX file under WHERE,
## `help` prints its help, and it works when called, errors included.
function check_functions (where, names)
  ## Each function: a call that must work, a bad one and its identifier.
  calls = {"clockread", "assert (clockread () > 0)", "clockread (1)", "MATLAB:tsec:invalidNumInputs";
           "clockutc", "assert (clockutc () > 0)", "clockutc (1)", "MATLAB:clockutc:invalidNumInputs";
           "sleep", "assert (sleep (1), 0)", "sleep ()", "MATLAB:sleep:invalidNumInputs";
           "waituntil", "t = clockread () + 0.001; assert (waituntil (t) >= t)", "waituntil ()", ...
           "MATLAB:waituntil:invalidNumInputs";
           "delay", "t = clockread () + 0.001; assert (delay (0.001) >= t)", "delay ()", ...
           "MATLAB:delay:invalidNumInputs";
           "rtboost", "rtboost ()", "", "";
           "rtrestore", "rtrestore ()", "", "";
           "rtstatus", "assert (islogical (rtstatus ()))", "rtstatus (1)", "MATLAB:rtstatus:invalidNumInputs"};
  for k = 1:numel (names)
    row = find (strcmp (calls(:, 1), names{k}));
    assert (! isempty (row), "check_functions: no check for %s", names{k});
    [name, good, bad, id] = calls{row, :};
    file = which (name);
    assert (strncmp (file, where, numel (where)) && exist (name) == 3, "%s runs from %s", name, file);
    assert (! isempty (strfind (evalc (["help " name]), [upper(name) "  "])), "no help for %s", name);
    eval (good);
    if (! isempty (bad))
      raises (bad, id);
    endif
    printf ("%s: %s\n", name, file);
  endfor
endfunction
