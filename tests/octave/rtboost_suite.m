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

%!function tids = threads (pid)
%!  tasks = dir (sprintf ("/proc/%d/task", pid));
%!  tids = str2double ({tasks(! ismember ({tasks.name}, {".", ".."})).name});
%!endfunction

%!function s = standing (pid)
%!  ## What chrt shows for the interpreter thread, and each thread's nice.
%!  [~, s.chrt] = system (sprintf ("chrt -p %d", pid));
%!  s.nice = containers.Map ("KeyType", "double", "ValueType", "double");
%!  for tid = threads (pid)
%!    s.nice(tid) = nice_of (pid, tid);
%!  endfor
%!  [s.realtime, s.process, s.thread] = rtstatus ();
%!endfunction

%!function same_standing (a, b)
%!  assert ({a.chrt, a.realtime, a.process, a.thread}, {b.chrt, b.realtime, b.process, b.thread});
%!  ## Threads that came or went in between are not compared.
%!  tids = intersect (cell2mat (keys (a.nice)), cell2mat (keys (b.nice)));
%!  assert (numel (tids) >= 2);
%!  assert (cell2mat (values (a.nice, num2cell (tids))), cell2mat (values (b.nice, num2cell (tids))));
%!endfunction

%!function set_standing (pid, policy, priority, nice, others)
%!  system (sprintf ("chrt %s -p %d %d", policy, priority, pid));
%!  for tid = threads (pid)
%!    n = others;
%!    if (tid == pid)
%!      n = nice;
%!    endif
%!    system (sprintf ("renice -n %d -p %d >/dev/null", n, tid));
%!  endfor
%!endfunction

%!function boosted_block (pid, fail)
%!  ## As the help shows it: back to what it was however the block ends.
%!  old = rtboost ();
%!  cleanup = onCleanup (@() rtrestore (old));
%!  [policy, priority] = scheduling (pid);
%!  assert ({policy, priority}, {"SCHED_FIFO|SCHED_RESET_ON_FORK", 80});
%!  if (fail)
%!    error ("block:failed", "the trial failed");
%!  endif
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
%! ## rtrestore: the ordinary policy and nice 0 again; nothing is returned.
%! ## Twice, to see rtboost work after it.
%! pid = getpid ();
%! for round = 1:2
%!   clear ans;
%!   rtrestore ();
%!   assert (! exist ("ans", "var"));
%!   [policy, priority] = scheduling (pid);
%!   assert ({policy, priority}, {"SCHED_OTHER", 0});
%!   assert (nice_of (pid, pid), 0);
%!   threads_at (pid, "TS", "0");
%!   check_status (pid);
%!   rtboost ();
%!   check_status (pid);
%! endfor

%!test
%! ## old = rtboost () holds the standing found, and rtrestore (old) gives it
%! ## back exactly, from ordinary, lowered and already raised starts.
%! pid = getpid ();
%! ## chrt's policy and priority, the interpreter thread's nice, the other
%! ## threads', and the answer expected.
%! starts = {"-o", 0, 0, 0, [2001 0 0 0 0 0];
%!           "-b", 0, 5, 5, [2001 3 0 0 5 5];
%!           "-r", 90, -5, 0, [2001 2 0 90 -5 0];
%!           "-f -R", 50, -20, -3, [2001 1 1 50 -20 -3]};
%! for k = 1:rows (starts)
%!   set_standing (pid, starts{k, 1:4});
%!   before = standing (pid);
%!   old = rtboost ();
%!   assert (old, starts{k, 5});
%!   [~, boosted] = system (sprintf ("chrt -p %d", pid));
%!   assert (! strcmp (boosted, before.chrt));
%!   rtrestore (old);
%!   same_standing (standing (pid), before);
%! endfor
%! set_standing (pid, "-o", 0, 0, 0);

%!test
%! ## Through onCleanup, when the block ends and when it fails.
%! pid = getpid ();
%! set_standing (pid, "-b", 0, 3, 3);
%! before = standing (pid);
%! boosted_block (pid, false);
%! same_standing (standing (pid), before);
%! raises ("boosted_block (pid, true)", "block:failed");
%! same_standing (standing (pid), before);
%! set_standing (pid, "-o", 0, 0, 0);

%!test
%! ## Bad calls change nothing.
%! pid = getpid ();
%! rtboost ();
%! before = standing (pid);
%! raises ("[a, b] = rtboost ()", "MATLAB:rtboost:maxlhs");
%! raises ("rtrestore ([1001 32 0])", "MATLAB:rtrestore:invalidInput");
%! ## Another class is refused, not read as doubles: these bytes would pass.
%! raises ("rtrestore (typecast ([2001 0 0 0 0 0], 'int64'))", "MATLAB:rtrestore:invalidInput");
%! raises ("rtrestore ([2001 0 0 0 0 0], 1)", "MATLAB:rtrestore:invalidNumInputs");
%! raises ("x = rtrestore ()", "MATLAB:rtrestore:maxlhs");
%! same_standing (standing (pid), before);
%! rtrestore ();
