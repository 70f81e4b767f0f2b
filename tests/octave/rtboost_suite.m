## rtboost in GNU Octave, against dist/octave/rtboost.mex. It raises this
## interpreter for good, so the suite runs in an octave-cli of its own.

%!function [policy, priority] = scheduling (pid)
%!  [~, text] = system (sprintf ("chrt -p %d", pid));
%!  policy = regexp (text, "policy: (\\S+)", "tokens", "once"){1};
%!  priority = str2double (regexp (text, "priority: (\\d+)", "tokens", "once"){1});
%!endfunction

%!function nice = nice_of (pid, tid)
%!  ## Field 19 of stat; ps shows no nice value for a real-time thread.
%!  stat = fileread (sprintf ("/proc/%d/task/%d/stat", pid, tid));
%!  fields = strsplit (strtrim (stat(find (stat == ")", 1, "last") + 2:end)), " ");
%!  nice = str2double (fields{17});
%!endfunction

%!test
%! assert (exist ("rtboost") == 3);

%!test
%! pid = getpid ();
%! [policy, priority] = scheduling (pid);
%! assert (! strncmp (policy, "SCHED_FIFO", 10), "already raised before the call");
%! rtboost ();
%! ## The interpreter thread (the process's first) is at SCHED_FIFO 80, and
%! ## what it starts is reset to the ordinary policy ...
%! [policy, priority] = scheduling (pid);
%! assert (policy, "SCHED_FIFO|SCHED_RESET_ON_FORK");
%! assert (priority, 80);
%! assert (nice_of (pid, pid), -20);
%! ## ... every other thread at the strongest ordinary standing ...
%! [~, text] = system (sprintf ("ps -L -o tid=,cls=,nice= -p %d", pid));
%! rows = regexp (strtrim (text), "\\n", "split");
%! assert (numel (rows) >= 2);
%! for k = 1:numel (rows)
%!   row = strsplit (strtrim (rows{k}));
%!   if (str2double (row{1}) != pid)
%!     assert (row(2:3), {"TS", "-20"});
%!   endif
%! endfor
%! ## ... and a command run with system() starts ordinary, with nice 0 or more.
%! [~, text] = system ("chrt -p $$; ps -o ni= -p $$");
%! assert (regexp (text, "policy: (\\S+)", "tokens", "once"){1}, "SCHED_OTHER");
%! assert (str2double (regexp (text, "(-?\\d+)\\s*$", "tokens", "once"){1}) >= 0);

%!test
%! ## Inputs are ignored, nothing is returned, a second call says nothing.
%! clear ans;
%! rtboost (5, "abc", []);
%! rtboost ();
%! assert (! exist ("ans", "var"));
%! [policy, priority] = scheduling (getpid ());
%! assert (policy, "SCHED_FIFO|SCHED_RESET_ON_FORK");
%! assert (priority, 80);
