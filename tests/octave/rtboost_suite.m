## rtboost, rtstatus and rtrestore in GNU Octave, against dist/octave. It
## raises this interpreter, so the suite runs in an octave-cli of its own.

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

%!function threads_at (pid, class, nice)
%!  [~, text] = system (sprintf ("ps -L -o tid=,cls=,nice= -p %d", pid));
%!  rows = regexp (strtrim (text), "\\n", "split");
%!  assert (numel (rows) >= 2);
%!  for k = 1:numel (rows)
%!    row = strsplit (strtrim (rows{k}));
%!    if (str2double (row{1}) != pid)
%!      assert (row(2:3), {class, nice});
%!    endif
%!  endfor
%!endfunction

%!function check_status (pid)
%!  ## rtstatus as chrt and the kernel tell it for the interpreter thread.
%!  [realtime, process, thread] = rtstatus ();
%!  [policy, priority] = scheduling (pid);
%!  policy = strrep (policy, "|SCHED_RESET_ON_FORK", "");
%!  words = struct ("SCHED_FIFO", "fifo", "SCHED_RR", "rr", "SCHED_OTHER", "other",
%!                  "SCHED_BATCH", "batch", "SCHED_IDLE", "idle");
%!  word = words.(policy);
%!  is_rt = any (strcmp (policy, {"SCHED_FIFO", "SCHED_RR"}));
%!  if (is_rt)
%!    word = sprintf ("%s %d", word, priority);
%!  endif
%!  assert (realtime, is_rt);
%!  assert (thread, word);
%!  assert (process, sprintf ("nice %d", nice_of (pid, pid)));
%!endfunction

%!test
%! for name = {"rtboost", "rtstatus", "rtrestore"}
%!   assert (exist (name{1}) == 3);
%! endfor

%!test
%! pid = getpid ();
%! [policy, priority] = scheduling (pid);
%! assert (! strncmp (policy, "SCHED_FIFO", 10), "already raised before the call");
%! check_status (pid);
%! rtboost ();
%! check_status (pid);
%! ## The interpreter thread (the process's first) is at SCHED_FIFO 80, and
%! ## what it starts is reset to the ordinary policy ...
%! [policy, priority] = scheduling (pid);
%! assert (policy, "SCHED_FIFO|SCHED_RESET_ON_FORK");
%! assert (priority, 80);
%! assert (nice_of (pid, pid), -20);
%! ## ... every other thread at the strongest ordinary standing ...
%! threads_at (pid, "TS", "-20");
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

%!test
%! ## rtrestore: the ordinary policy and nice 0 again; inputs are ignored and
%! ## nothing is returned. Twice, to see rtboost work after it.
%! pid = getpid ();
%! for round = 1:2
%!   clear ans;
%!   rtrestore (5, "abc");
%!   assert (! exist ("ans", "var"));
%!   [policy, priority] = scheduling (pid);
%!   assert ({policy, priority}, {"SCHED_OTHER", 0});
%!   assert (nice_of (pid, pid), 0);
%!   threads_at (pid, "TS", "0");
%!   check_status (pid);
%!   rtboost ();
%!   check_status (pid);
%! endfor
