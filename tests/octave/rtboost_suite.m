## rtboost, rtstatus and rtrestore in GNU Octave, against dist/octave, as
## root: what only a real host shows, every one of its threads and what it
## starts. The stand-in suite checks each start and limit call by call. It
## raises this interpreter, so the suite runs in an octave-cli of its own.
## rtrestore (old) from other starts is the stand-in suite's GivesBack, on
## the same code; in Octave, rtrestore's help test.

%!test
%! ## From the ordinary standing the interpreter thread goes to SCHED_FIFO 80
%! ## with nice -20, every other thread to nice -20 under the ordinary
%! ## policy, and a command run with system() starts ordinary, with nice 0
%! ## or more. rtrestore () brings every thread back to nice 0 under the
%! ## ordinary policy, and rtboost works after it.
%! pid = getpid ();
%! system (sprintf ("chrt -o -p 0 %d", pid));
%! for tid = standing ().threads(:, 1)'
%!   system (sprintf ("renice -n 0 -p %d >/dev/null", tid));
%! endfor
%! for round = 1:2
%!   rtboost ();
%!   s = standing ();
%!   assert (regexp (s.chrt, "policy: SCHED_FIFO\\|SCHED_RESET_ON_FORK\n.*priority: 80\n", "once") > 0, s.chrt);
%!   assert (s.status, {true, "nice -20", "fifo 80"});
%!   assert (s.threads(:, 2:3), [repmat(-20, rows (s.threads), 1), s.threads(:, 1) == pid]);
%!   [~, text] = system ("chrt -p $$; ps -o ni= -p $$");
%!   assert (regexp (text, "policy: (\\S+)", "tokens", "once"){1}, "SCHED_OTHER");
%!   assert (str2double (regexp (text, "(-?\\d+)\\s*$", "tokens", "once"){1}) >= 0);
%!   rtrestore ();
%!   s = standing ();
%!   assert (regexp (s.chrt, "policy: SCHED_OTHER\n.*priority: 0\n", "once") > 0, s.chrt);
%!   assert (s.status, {false, "nice 0", "other"});
%!   assert (s.threads(:, 2:3), zeros (rows (s.threads), 2));
%! endfor

## Another class is refused, not read as doubles: these bytes would pass.
%!error id=MATLAB:rtrestore:invalidInput rtrestore (typecast ([2001 0 0 0 0 0], "int64"))
