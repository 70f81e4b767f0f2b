## check_functions (WHERE, NAMES): each of NAMES is a MEX file under WHERE,
## `help` prints its help, and it works when called, errors included.
function check_functions (where, names)
  for k = 1:numel (names)
    name = names{k};
    file = which (name);
    assert (strncmp (file, where, numel (where)), "%s runs from %s", name, file);
    assert (exist (name), 3);
    text = evalc (sprintf ("help %s", name));
    assert (! isempty (strfind (text, [upper(name) "  "])), "no help for %s", name);
    switch (name)
      case "clockread"
        assert (clockread () > 0);
        assert (raised (@() clockread (1)), "MATLAB:tsec:invalidNumInputs");
      case "clockutc"
        [t, utc] = clockutc ();
        assert (t > 0 && utc > 1.7e9);
        assert (raised (@() clockutc (1)), "MATLAB:clockutc:invalidNumInputs");
      case "sleep"
        assert (sleep (1), 0);
        assert (raised (@() sleep ()), "MATLAB:sleep:invalidNumInputs");
      case "waituntil"
        t = clockread () + 0.001;
        assert (waituntil (t) >= t);
        assert (raised (@() waituntil ()), "MATLAB:waituntil:invalidNumInputs");
      case "rtboost"
        rtboost ();
      case "rtrestore"
        rtrestore ();
      case "rtstatus"
        assert (islogical (rtstatus ()));
        assert (raised (@() rtstatus (1)), "MATLAB:rtstatus:invalidNumInputs");
      otherwise
        error ("check_functions: no check for %s", name);
    endswitch
    printf ("%s: %s\n", name, file);
  endfor
endfunction

function id = raised (call)
  id = "";
  try
    call ();
  catch err
    id = err.identifier;
  end_try_catch
endfunction
