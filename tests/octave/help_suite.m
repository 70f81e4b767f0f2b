## The help files beside the MEX files in dist/octave: each error a function
## raises is in its help, identifier and message. The package checks find
## each help file, its line in `help mextime`, and the MEX file that runs.

%!test
%! ## Each error raised is in its function's help, identifier and message.
%! bad = {"clockread (1)", "[a, b] = clockread ()", "clockutc (1)", "[a, b, c, d] = clockutc ()", ...
%!        "sleep ()", "sleep ('5')", "sleep (NaN)", "sleep (Inf)", "[a, b] = sleep (1000)", ...
%!        "waituntil ()", "[a, b, c] = waituntil (0)", "waituntil ('5')", "waituntil (NaN)", ...
%!        "waituntil (Inf)", "waituntil (0, 2)", "delay ()", "[a, b, c] = delay (0)", "delay ('5')", ...
%!        "delay (NaN)", "delay (Inf)", "delay (0, 2)", "rtstatus (1)", "[a, b, c, d, e] = rtstatus ()", ...
%!        "[a, b] = rtboost ()", "rtrestore (1, 2)", "x = rtrestore ()", "rtrestore ([1 2 3])"};
%! for call = bad
%!   err = raises (call{1});
%!   assert (strncmp (err.identifier, "MATLAB:", 7), call{1});
%!   name = regexp (call{1}, "(\\w+) \\(", "tokens", "once"){1};
%!   text = evalc (["help " name]);
%!   ## Octave puts the function's name before a MEX file's message, and
%!   ## the help says so.
%!   message = regexprep (err.message, ["^" name ": "], "");
%!   assert (! isempty (strfind (text, ["'" name ": "])), name);
%!   assert (! isempty (strfind (text, err.identifier)), err.identifier);
%!   assert (! isempty (strfind (text, message)), message);
%! endfor
