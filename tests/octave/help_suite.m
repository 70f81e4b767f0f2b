## The help files beside the MEX files in dist/octave: `help` prints them,
## and the MEX file is still the one that runs.

%!function text = help_of (name)
%!  text = evalc (sprintf ("help %s", name));
%!endfunction

%!test
%! overview = help_of ("mextime");
%! for name = {"clockread", "clockutc", "sleep", "waituntil", "delay", "rtboost", "rtrestore", "rtstatus"}
%!   name = name{1};
%!   assert (exist (name), 3);
%!   assert (regexp (which (name), '\.mex$'));
%!   ## The first line of the help file: "NAME  summary."
%!   assert (! isempty (strfind (help_of (name), [upper(name) "  "])), name);
%!   ## `help mextime` lists it: "name - summary".
%!   assert (! isempty (regexp (overview, ["\n +" name " +- [A-Z]"], "once")), name);
%! endfor

%!test
%! ## Each error raised is in its function's help, identifier and message.
%! bad = {"clockread", "clockread (1)";
%!        "clockread", "[a, b] = clockread ()";
%!        "clockutc", "clockutc (1)";
%!        "clockutc", "[a, b, c, d] = clockutc ()";
%!        "sleep", "sleep ()";
%!        "sleep", "sleep ('5')";
%!        "sleep", "sleep (NaN)";
%!        "sleep", "sleep (Inf)";
%!        "sleep", "[a, b] = sleep (1000)";
%!        "waituntil", "waituntil ()";
%!        "waituntil", "[a, b, c] = waituntil (0)";
%!        "waituntil", "waituntil ('5')";
%!        "waituntil", "waituntil (NaN)";
%!        "waituntil", "waituntil (Inf)";
%!        "waituntil", "waituntil (0, 2)";
%!        "delay", "delay ()";
%!        "delay", "[a, b, c] = delay (0)";
%!        "delay", "delay ('5')";
%!        "delay", "delay (NaN)";
%!        "delay", "delay (Inf)";
%!        "delay", "delay (0, 2)";
%!        "rtstatus", "rtstatus (1)";
%!        "rtstatus", "[a, b, c, d] = rtstatus ()";
%!        "rtboost", "[a, b] = rtboost ()";
%!        "rtrestore", "rtrestore (1, 2)";
%!        "rtrestore", "x = rtrestore ()";
%!        "rtrestore", "rtrestore ([1 2 3])"};
%! for k = 1:rows (bad)
%!   err = [];
%!   try
%!     eval (bad{k, 2});
%!   catch err
%!   end_try_catch
%!   assert (! isempty (err), bad{k, 2});
%!   assert (strncmp (err.identifier, "MATLAB:", 7), bad{k, 2});
%!   name = bad{k, 1};
%!   text = help_of (name);
%!   ## Octave puts the function's name before a MEX file's message, and
%!   ## the help says so.
%!   message = regexprep (err.message, ["^" name ": "], "");
%!   assert (! isempty (strfind (text, ["'" name ": "])), name);
%!   assert (! isempty (strfind (text, err.identifier)), err.identifier);
%!   assert (! isempty (strfind (text, message)), message);
%! endfor

%!test
%! ## Called, the names answer as the MEX files do; a comments-only .m would not.
%! assert (clockread () > 0);
%! assert (sleep (1), 0);
