## rtboost, rtstatus and rtrestore in GNU Octave, against dist/octave, as
## root: what only a real host shows, every one of its threads and what it
## starts. The stand-in suite checks each start and limit call by call. It
## raises this interpreter, so the suite runs in an octave-cli of its own.

%!function set_standing (pid, policy, priority, nice, others)
%!  system (sprintf ("chrt %s -p %d %d", policy, priority, pid));
%!  for tid = standing ().threads(:, 1)'
%!    system (sprintf ("renice -n %d -p %d >/dev/null", ifelse (tid == pid, nice, others), tid));
%!  endfor
%!endfunction

%!test
%! ## From the ordinary standing the interpreter thread goes to SCHED_FIFO 80
%! ## with nice -20, every other thread to nice -20 under the ordinary
%! ## policy, and a command run with system() starts ordinary, with nice 0
%! ## or more. rtrestore () brings every thread back to nice 0 under the
%! ## ordinary policy, and rtboost works after it.
%! pid = getpid ();
%! set_standing (pid, "-o", 0, 0, 0);
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

%!test
%! ## old = rtboost () holds the standing found, and rtrestore (old) gives it
%! ## back exactly, every thread's, from ordinary, lowered and raised starts:
%! ## chrt's policy and priority, the interpreter thread's nice, the other
%! ## threads', and the answer expected.
%! pid = getpid ();
%! starts = {"-o", 0, 0, 0, [2001 0 0 0 0 0];
%!           "-b", 0, 5, 5, [2001 3 0 0 5 5];
%!           "-f -R", 50, -20, -3, [2001 1 1 50 -20 -3]};
%! for k = 1:rows (starts)
%!   set_standing (pid, starts{k, 1:4});
%!   before = standing ();
%!   old = rtboost ();
%!   assert (old, starts{k, 5});
%!   assert (! strcmp (standing ().chrt, before.chrt));
%!   rtrestore (old);
%!   after = standing ();
%!   assert ({after.chrt, after.status}, {before.chrt, before.status});
%!   ## Threads that came or went in between are not compared.
%!   [~, a, b] = intersect (after.threads(:, 1), before.threads(:, 1));
%!   assert (numel (a) >= 2);
%!   assert (after.threads(a, :), before.threads(b, :));
%! endfor
%! set_standing (pid, "-o", 0, 0, 0);

## Another class is refused, not read as doubles: these bytes would pass.
%!error id=MATLAB:rtrestore:invalidInput rtrestore (typecast ([2001 0 0 0 0 0], "int64"))
