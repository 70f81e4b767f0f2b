## rtboost, rtstatus and rtrestore in GNU Octave, against dist/octave, as
## root: what only a real host shows, every one of its threads and what it
## starts, and an ordinary user's session. The stand-in suite checks each
## start and limit call by call. It raises this interpreter, so the suite
## runs in an octave-cli of its own. rtrestore (old) from other starts is
## the stand-in suite's GivesBack, on the same code; in Octave, the host's
## threads at different nice values, and rtrestore's help test.

%!test
%! ## From the ordinary standing the interpreter thread goes to SCHED_FIFO 80
%! ## with nice -20, every other thread to nice -20 under the ordinary
%! ## policy, and a command run with system() starts ordinary, with nice 0
%! ## or more, with no warning. rtrestore () brings every thread back to
%! ## nice 0 under the ordinary policy, and rtboost works after it.
%! pid = getpid ();
%! system (sprintf ("chrt -o -p 0 %d", pid));
%! for tid = standing ().threads(:, 1)'
%!   system (sprintf ("renice -n 0 -p %d >/dev/null", tid));
%! endfor
%! for round = 1:2
%!   lastwarn ("");
%!   rtboost ();
%!   assert (lastwarn (), "");
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
%! ## Threads of the host at nice 10, 0, 0 and 5 beside Octave's own (parked
%! ## by a fixture): rtboost raises those that share the interpreter
%! ## thread's nice value with it and leaves the others as they are;
%! ## rtrestore (old) gives each thread its own back.
%! dir = tempname ();
%! mkdir (dir);
%! unwind_protect
%!   fixture = fullfile (fileparts (which ("standing")), "fixtures", "threads", "park_threads.c");
%!   mkoctfile ("--mex", "-o", fullfile (dir, "park_threads.mex"), fixture);
%!   addpath (dir);
%!   known = standing ().threads(:, 1);
%!   park_threads (4);
%!   s = standing ();
%!   parked = setdiff (s.threads(:, 1), known);
%!   assert (numel (parked), 4);
%!   nice = [10 0 0 5];
%!   for k = 1:4
%!     system (sprintf ("renice -n %d -p %d >/dev/null", nice(k), parked(k)));
%!   endfor
%!   before = standing ().threads;
%!   old = rtboost ();
%!   raised = standing ().threads;
%!   rtrestore (old);
%!   after = standing ().threads;
%! unwind_protect_cleanup
%!   rmpath (dir);
%!   confirm_recursive_rmdir (false, "local");
%!   rmdir (dir, "s");
%! end_unwind_protect
%! shared = before(:, 2) == 0;
%! assert (sort (before(ismember (before(:, 1), parked), 2))', [0 0 5 10]);
%! assert (raised(:, 1:2), [before(:, 1), before(:, 2) - 20 * shared]);
%! assert (raised(:, 3), double (before(:, 1) == getpid ()));
%! assert (after, before);

%!test
%! ## An ordinary user, whom the system grants neither real time nor a
%! ## negative nice value (a user made for the test, limits of 0): rtboost
%! ## warns, by its identifier, naming what was refused and where to read
%! ## more, and still answers old; warning ("off", ID) silences it.
%! if (getuid () != 0)
%!   return;  # only root can make a user for the test
%! endif
%! user = sprintf ("mextime-rtboost-%d", getpid ());
%! dir = tempname ();
%! mkdir (dir);
%! unwind_protect
%!   for name = {"rtboost", "rtrestore", "rtstatus"}
%!     copyfile (which (name{1}), dir);
%!   endfor
%!   fid = fopen (fullfile (dir, "as_user.m"), "w");
%!   fputs (fid, ["lastwarn (''); old = rtboost (); [message, id] = lastwarn ();\n", ...
%!                "printf ('%s|%s|%d\\n', id, message, isequal (size (old), [1 6]));\n", ...
%!                "rtrestore (old); warning ('off', 'MATLAB:rtboost:notGranted');\n", ...
%!                "lastwarn (''); rtboost (); printf ('silenced|%s\\n', lastwarn ());\n"]);
%!   fclose (fid);
%!   system (sprintf ("chmod -R a+rX %s", dir));
%!   assert (system (sprintf ("useradd --no-create-home --home-dir %s --shell /bin/sh %s", dir, user)), 0);
%!   [status, out] = system (sprintf (["cd %s && runuser -u %s -- prlimit --nice=0:0 --rtprio=0:0 ", ...
%!                                     "octave-cli --norc --no-history --quiet as_user.m 2>&1"], dir, user));
%! unwind_protect_cleanup
%!   system (sprintf ("userdel %s >/dev/null 2>&1", user));
%!   confirm_recursive_rmdir (false, "local");
%!   rmdir (dir, "s");
%! end_unwind_protect
%! assert (status, 0, out);
%! message = ["No higher priority was granted: this account may take neither real-time scheduling ", ...
%!            "(RLIMIT_RTPRIO) nor a negative nice value (RLIMIT_NICE); help rtboost says how to grant them."];
%! assert (strsplit (strtrim (out), "\n")(end-1:end), ...
%!         {sprintf("MATLAB:rtboost:notGranted|rtboost: %s|1", message), "silenced|"});
%! assert (numel (strfind (out, "warning: ")), 1, out);

## Another class is refused, not read as doubles: these bytes would pass.
%!error id=MATLAB:rtrestore:invalidInput rtrestore (typecast ([2001 0 0 0 0 0], "int64"))
