## mextimecheck's rules without timing: its private functions, as shipped
## beside the mextimecheck found on the path (dist/octave, an installed
## package or a mexbuild folder), called on made-up results. Octave lets
## only mextimecheck call them, so the suite calls a copy of that folder.

%!shared here, fixtures
%! here = tempname ();
%! copyfile (fullfile (fileparts (which ("mextimecheck")), "private"), here);
%! addpath (here);
%! fixtures = fullfile (fileparts (which ("raises")), "fixtures");

## A result as a run without rtboost's pass would give on Linux in
## Octave, every figure set: an ordinary user whose limits permit nothing,
## with the udev rule for the PM QoS request; rtstatus's fourth answer as
## Linux gives it.
%!function res = made_up ()
%!  pass = empty_pass ();
%!  pass.clockread = struct ("n", 100000, "step_us", 1.5, "cost_us", 2.25);
%!  w = struct ("n", 300, "p50_ms", 0.05, "p90_ms", 0.08, "p99_ms", 0.123, "max_ms", 0.4,
%!              "overshoot_ms", [-0.001, 0.05 * ones(1, 298), 0.4]);
%!  [pass.sleep, pass.waituntil, pass.timer] = deal (w);
%!  pass.spin = struct ("learned_ms", 0.08, "cpu_share", 0.25);
%!  t = struct ("n", 200, "period_ms", 10, "jitter_ms", 0.01, "p99_ms", 0.2, "worst_ms", 0.3,
%!              "off_ms", [0.01 * ones(1, 199), 0.3]);
%!  pass.trials = [t, t];
%!  pass.trials_500ms = struct ("n", 10, "period_ms", 500, "jitter_ms", 0.02, "p99_ms", 0.25,
%!                              "worst_ms", 0.25, "off_ms", 0.25 * ones (1, 10));
%!  platform = ["timer_resolution_ms=0.000001; timer_resolution_range_ms=n/a; high_resolution_timer=n/a; ", ...
%!              "power_throttling=n/a; privileged=no; policy=other; rlimit_rtprio=0; rlimit_nice=0; ", ...
%!              "timer_slack_ns=50000; latency_tier=n/a; qos_class=n/a; utc_resolution_ns=1; ", ...
%!              "timebase=n/a; translated=n/a"];
%!  status = struct ("realtime", false, "process", "nice 0", "thread", "other", "platform", platform);
%!  names = {"clockread", "clockutc", "sleep", "waituntil", "delay", "rtboost", "rtrestore", "rtstatus"};
%!  functions = cell2struct (strcat ("/opt/mextime/", names, ".mexa64"), names, 2);
%!  load = struct ("loadavg", [0.5, 0.4, 0.3], "busy_share", 0.98);
%!  after = struct ("loadavg", [0.7, 0.5, 0.3], "busy_share", 0.95);
%!  res = struct ("host", "Octave", "host_version", "7.3.0", "computer", "x86_64-pc-linux-gnu",
%!                "mextime_version", "9.9.9", "date", "2026-12-10 09:30:00", "functions", functions,
%!                "failures", {{}}, "notes", {{}}, "normal", pass, "boosted", [],
%!                "wakeup_latency_request", true, "utc_uncertainty", 2.5e-6,
%!                "utc_drift_ppm", 0.04, "seconds", 12.34);
%!  res.machine = struct ("system", "Linux", "os", "Debian GNU/Linux 12 (bookworm)", "kernel", "6.1.0",
%!                        "cpu", "AMD EPYC", "cores", 2, "clock_source", "tsc", "preemption", "full",
%!                        "preemption_source", "a PREEMPT kernel");
%!  res.load = struct ("before", load, "after", after);
%!  res.error_checks = struct ("run", 20, "failed", 0);
%!  res.priority = struct ("before", status, "boosted", status, "kept", [], "after", status,
%!                         "state", "normal", "raised_before", false, "obtained", false,
%!                         "restored", true, "warning", "");
%!endfunction

## The result with rtboost's pass: real time obtained, figures as without.
%!function res = boosted (res)
%!  res.priority.obtained = true;
%!  res.priority.boosted = setfield (res.priority.boosted, "realtime", true);
%!  res.priority.boosted.process = "nice -20";
%!  res.priority.boosted.thread = "fifo 80";
%!  res.priority.kept = res.priority.boosted;
%!  res.boosted = res.normal;
%!endfunction

## The result with rtstatus's fourth value NAME set to VALUE, in the
## reading WHEN ("before", "kept").
%!function res = field (res, name, value, when)
%!  if (nargin < 4)
%!    when = "before";
%!  endif
%!  res.priority.(when).platform = regexprep (res.priority.(when).platform, [name "=[^;]*"],
%!                                            [name "=" value]);
%!endfunction

## What report prints for a result, once concluded.
%!function [out, res] = printed (res)
%!  res = conclude (res);
%!  out = evalc ("report (res)");
%!endfunction

## The verdict line that starts with PREFIX.
%!function line = verdict (res, prefix)
%!  res = conclude (res);
%!  line = res.verdicts{strncmp (res.verdicts, prefix, numel (prefix))};
%!endfunction

%!test
%! ## A broken install never prints PASSED: a function missing from the
%! ## path fails the check, by name. A clean one passes, in seconds.
%! [~, ~, missing] = locate ({"clockread", "mextime_no_such_function"});
%! assert (missing, {"mextime_no_such_function: not found on the path"});
%! cases = {[missing, {"sleep: sleep(2) did not answer the double 0"}], "FAILED", "PASSED";
%!          {}, "PASSED", "FAILED"};
%! for row = cases'
%!   [failures, said, unsaid] = row{:};
%!   res = made_up ();
%!   res.failures = failures;
%!   [out, res] = printed (res);
%!   assert (res.passed, isempty (failures));
%!   assert (regexp (out, ["\n" said " in 12\\.3 s\\."], "once") > 0, out);
%!   assert (isempty (strfind (out, unsaid)));
%!   assert (all (cellfun (@(f) ! isempty (strfind (out, ["FAILED " f "\n"])), failures)), out);
%!   assert (isempty (failures) || ! isempty (strfind (out, sprintf ("behaviour: %d check(s) failed", numel (failures)))));
%! endfor

%!test
%! ## Each figure in the unit its label names: microseconds, milliseconds,
%! ## a percentage of a core, seconds.
%! out = printed (made_up ());
%! shown = {"clockread  smallest step \\(us\\) +1\\.500\n";
%!          "clockread  cost per call \\(us\\) +2\\.250\n";
%!          "sleep\\(1\\)   late, p50 \\(ms\\) +0\\.050\n";
%!          "1 kHz loop, CPU \\(%\\) +25\\.000\n";
%!          "onset off, p99 \\(ms\\) +0\\.200\n";
%!          "500 ms apart, max \\(ms\\) +0\\.250\n";
%!          "timer      late, p50 \\(ms\\) +0\\.050\n";
%!          "again, p99 \\(ms\\) +0\\.200\n";
%!          "load       before, after +0\\.50 +0\\.70\n";
%!          "clockutc   pairing \\(us\\) +2\\.500\n";
%!          "UTC drift \\(ppm\\) +0\\.040\n";
%!          "steps of 1\\.50 us, far finer than 1 ms\\.";
%!          "sleep\\(1\\): late by 0\\.123 ms at p99, 0\\.400 ms at worst";
%!          "a 1 kHz loop with it kept 25% of a core busy";
%!          "off plan by 0\\.200 and 0\\.200 ms at p99, 0\\.300 and 0\\.300 ms at worst";
%!          "\npreemption +holds +preemption full \\(a PREEMPT kernel\\)\n";
%!          "within 2\\.500 us \\(median of 100\\)"};
%! for k = 1:numel (shown)
%!   assert (regexp (out, shown{k}, "once") > 0, "no %s in:\n%s", shown{k}, out);
%! endfor
%! ## sleep's, waituntil's and the timer's
%! assert (numel (regexp (out, "p99 \\(ms\\) +0\\.123\n")), 3);

%!test
%! ## Pacing rests on p99 of each loop of 200 trials, shows the worst and
%! ## the load, says where the loops disagree, and what to change where it
%! ## does not hold with margin: the priority and the PM QoS request where
%! ## the check found them missing, a fixed spin and the load always. Each
%! ## row: changes to the made-up result, what the verdict says, what it
%! ## must not.
%! grant = "real time for rtboost"; pmqos = "PM QoS"; spin = "waituntil\\(t, 0\\.002\\)";
%! idle = "otherwise idle"; advice = "To pace better"; apart = "The two loops disagree";
%! load = "Load average 0\\.50 before the check, 0\\.70 after it on 2 cores\\.";
%! late = "[res.normal.trials.p99_ms] = deal (1.5);";
%! cases = {
%!   "res.normal.trials(1).worst_ms = 3;", ...
%!     {"0\\.200 and 0\\.200 ms at p99, 3\\.000 and 0\\.300 ms at worst", ["1 ms pacing holds at p99\\. " load "$"]}, ...
%!     {advice, apart};
%!   "[res.normal.trials.p99_ms] = deal (0.7);", {"holds at p99, with little margin\\.", grant, spin, idle}, {pmqos, apart};
%!   "[res.normal.trials.p99_ms] = deal (0.5);", {"holds at p99, with little margin\\."}, {};
%!   ## One loop measured (the other raised): its verdict alone.
%!   "res.normal.trials(2).n = 0; res.normal.trials(2).p99_ms = NaN;", {"1 ms pacing holds at p99\\."}, {apart};
%!   [late " res.wakeup_latency_request = false;"], ...
%!     {["does not hold at p99\\. " load " To pace better"], grant, pmqos, spin, idle}, {apart};
%!   ## The loops disagree: said, with a rerun advised; the worse decides.
%!   "res.normal.trials(2).p99_ms = 1.5;", {"0\\.200 and 1\\.500 ms at p99", ...
%!     "disagree \\(holds at p99 in one, does not hold at p99 in the other\\)", "rerun on a quiet machine", advice}, {};
%!   ## As root, every privilege obtained: a spin and the load are left.
%!   [late " res = boosted (res); [res.boosted.trials.p99_ms] = deal (1.2);"], ...
%!     {"with rtboost 1\\.200 and 1\\.200 ms at p99", "does not hold at p99\\. Load", spin, idle}, {grant, pmqos};
%!   [late " res = boosted (res); [res.boosted.trials.p99_ms] = deal (0.2);"], ...
%!     {["holds at p99 with rtboost; without it, 1 ms pacing does not hold at p99\\. " load "$"]}, {advice};
%!   ## The verdict rests on rtboost's pass: its loops' disagreement counts.
%!   [late " res = boosted (res); res.boosted.trials(2).p99_ms = 0.7;"], {apart, "with little margin in the other"}, {};
%!   "res = boosted (res); res.normal.trials(2).p99_ms = 1.5;", ...
%!     {"holds at p99 with rtboost; without it, 1 ms pacing does not hold at p99\\. Load"}, {apart, advice};
%!   ## Where the system keeps no load average (Windows): a busy loop's share.
%!   "res.load.before.loadavg(:) = NaN; res.load.after.busy_share = 0.4;", ...
%!     {"A busy loop got 98% of a core before the check, 40% after it"}, {"Load average"};
%!   [late " res.priority.state = 'raised'; res.priority.before.realtime = true;"], {spin, idle}, {grant};
%!   [late " res.priority.state = 'lowered';"], {"start Octave at the ordinary priority", spin}, {grant}};
%! for k = 1:rows (cases)
%!   [changes, wanted, unwanted] = cases{k, :};
%!   res = made_up ();
%!   eval (changes);
%!   line = verdict (res, "trial loop:");
%!   for w = wanted
%!     assert (regexp (line, w{1}, "once") > 0, "case %d: no %s in: %s", k, w{1}, line);
%!   endfor
%!   for u = unwanted
%!     assert (isempty (regexp (line, u{1}, "once")), "case %d: %s in: %s", k, u{1}, line);
%!   endfor
%! endfor

%!test
%! ## How the check finds the priority, from rtstatus's answers on Linux,
%! ## Windows and macOS: only 'normal' lets the pass with rtboost run.
%! cases = {false, "nice 0", "other", "normal";
%!          false, "normal", "normal", "normal";
%!          true, "nice -20", "fifo 80", "raised";
%!          false, "nice -5", "other", "raised";
%!          false, "nice 0", "rr 10", "raised";
%!          false, "high", "normal", "raised";
%!          false, "normal", "above normal", "raised";
%!          false, "nice 0", "demoted to timeshare", "raised";
%!          true, "nice 0", "time constraint", "raised";
%!          false, "nice 5", "other", "lowered";
%!          false, "nice 0", "batch", "lowered";
%!          false, "below normal", "normal", "lowered";
%!          false, "", "", "unknown"};
%! for row = cases'
%!   status = struct ("realtime", row{1}, "process", row{2}, "thread", row{3});
%!   assert (priority_state (status), row{4});
%! endfor

%!test
%! ## Figures of the trials and the waits, from seconds to milliseconds:
%! ## p99 of 200 onsets is the 198th off plan, two may be worse.
%! onset = (0:199) * 0.010 + 0.0001;
%! onset([50, 120, 180]) += [0.002, 0.003, 0.004];
%! t = onset_figures (onset, 0.010);
%! assert ([t.n, t.period_ms], [200, 10]);
%! assert ([t.p99_ms, t.worst_ms], [2.1, 4.1], 1e-9);
%! assert (t.jitter_ms, 1000 * std (diff (onset)), 1e-9);
%! ## One wait of 300 ended 0.2 ms early: a failure of the function named.
%! late = [-0.0002, 0.0001 * ones(1, 298), 0.003];
%! [w, failures] = wait_figures (late, "waituntil", {"before"}, true);
%! assert (failures, {"before", "waituntil: 1 of 300 waits of 1 ms ended early, by up to 0.200 ms"});
%! assert ([w.n, w.p50_ms, w.p99_ms, w.max_ms], [300, 0.1, 0.1, 3], 1e-9);
%! [~, failures] = wait_figures (late, "sleep(1)", {}, false);
%! assert (failures, {});

%!testif ; ! ismac () && ! ispc ()
%! ## The PM QoS probe holds only a character device that opens for writing,
%! ## and never makes a file where there is none.
%! missing = fullfile (here, "cpu_dma_latency");
%! regular = fullfile (here, "regular");
%! fclose (fopen (regular, "w"));
%! assert ({wakeup_latency_request(missing), wakeup_latency_request(regular), ...
%!          wakeup_latency_request("/dev/null")}, {false, false, true});
%! assert (! exist (missing, "file"));

%!test
%! ## The platform checks that apply, in order: each system's own, MATLAB's
%! ## where MATLAB runs, and Ctrl+C wherever no test here presses it (all
%! ## but Octave on Linux).
%! linux = {"clock_source", "high_res_timers", "timer_slack", "preemption", "rtprio_limit", "nice_limit", ...
%!          "wakeup_latency", "default_spin"};
%! windows = {"clock_source", "high_res_timer", "timer_resolution", "power_throttling", "priority_class", ...
%!            "default_spin"};
%! mac = {"clock_source", "latency_tier", "time_constraint", "utc_resolution", "timebase", "translated", ...
%!        "qos_class", "default_spin"};
%! matlab = {"loads", "errors_unwind", "warnings"};
%! cases = {"Linux", "Octave", linux;
%!          "Linux", "MATLAB", [linux, matlab, {"ctrl_c"}];
%!          "Windows", "Octave", [windows, {"ctrl_c"}];
%!          "Windows", "MATLAB", [windows, matlab, {"ctrl_c"}];
%!          "macOS", "Octave", [mac, {"ctrl_c"}];
%!          "macOS", "MATLAB", [mac, matlab, {"ctrl_c"}]};
%! for k = 1:rows (cases)
%!   res = made_up ();
%!   [res.machine.system, res.host] = cases{k, 1:2};
%!   assert (isequal ({platform_checks(res).name}, cases{k, 3}), "%s, %s", cases{k, 1:2});
%! endfor

%!test
%! ## Each platform check's answer on made-up results: it holds, does not
%! ## hold, or cannot tell where the figure it rests on is missing (never
%! ## "holds" on a missing figure), with that figure. Each row: the system,
%! ## changes to the made-up result, the check, its answer, its figure.
%! raised = "res.priority.state = 'raised';";
%! root = "res = field (res, 'privileged', 'yes');";
%! got = @(thread) sprintf ("res.priority.boosted.thread = '%s';", thread);
%! nice = @(process) sprintf ("res.priority.boosted.process = '%s';", process);
%! user = @(rtprio, nice) sprintf (["res = field (res, 'privileged', 'no'); res = field (res, 'rlimit_rtprio', '%s'); " ...
%!                                  "res = field (res, 'rlimit_nice', '%s');"], rtprio, nice);
%! win = "res.priority.before.process = 'normal'; res.priority.before.thread = 'normal';";
%! cases = {
%!   "Linux", "", "clock_source", "holds", "^tsc; clockread steps of 1\\.500 us, 2\\.25 us a call$";
%!   "Linux", "res.normal.clockread.step_us = 4000;", "clock_source", "does not hold", "steps of 4000\\.000 us";
%!   "Linux", "res.normal.clockread.step_us = 50;", "clock_source", "does not hold", "steps of 50\\.000 us";
%!   "Linux", "res.normal.clockread.step_us = NaN;", "clock_source", "cannot tell", "";
%!   "Windows", "", "clock_source", "holds", "^QueryPerformanceCounter; ";
%!   "Linux", "", "high_res_timers", "holds", "step by 1 ns$";
%!   "Linux", "res = field (res, 'timer_resolution_ms', '4.000000');", "high_res_timers", "does not hold", "step by 4000000 ns";
%!   "Linux", "res = field (res, 'timer_resolution_ms', 'unknown');", "high_res_timers", "does not hold", "unknown";
%!   "Linux", "res = field (res, 'timer_resolution_ms', 'n/a');", "high_res_timers", "cannot tell", "";
%!   "Linux", "", "timer_slack", "holds", "reads 50000 ns";
%!   "Linux", "res = field (res, 'timer_slack_ns', 'unknown');", "timer_slack", "does not hold", "reads unknown ns";
%!   "Linux", "res = field (res, 'timer_slack_ns', 'n/a');", "timer_slack", "cannot tell", "";
%!   "Linux", "", "preemption", "holds", "^preemption full \\(a PREEMPT kernel\\)$";
%!   "Linux", "res.machine.preemption = 'lazy';", "preemption", "holds", "";
%!   "Linux", "res.machine.preemption = 'rt';", "preemption", "holds", "";
%!   "Linux", "res.machine.preemption = 'none';", "preemption", "does not hold", "preemption none";
%!   "Linux", "res.machine.preemption = 'voluntary';", "preemption", "does not hold", "";
%!   "Linux", "res.machine.preemption = 'none or voluntary';", "preemption", "does not hold", "";
%!   "Linux", "res.machine.preemption = '';", "preemption", "cannot tell", "does not tell";
%!   ## rtboost against the limits: root gets FIFO 80 and nice -20; a user
%!   ## what RLIMIT_RTPRIO and RLIMIT_NICE permit, nothing at 0.
%!   "Linux", [root got("fifo 80")], "rtprio_limit", "holds", "RLIMIT_RTPRIO 0, CAP_SYS_NICE yes: rtboost obtained 'fifo 80', the limit permits 'fifo 80'";
%!   "Linux", root, "rtprio_limit", "does not hold", "obtained 'other', the limit permits 'fifo 80'";
%!   "Linux", user("0", "0"), "rtprio_limit", "holds", "permits 'other'";
%!   "Linux", [user("50", "0") got("fifo 50")], "rtprio_limit", "holds", "";
%!   "Linux", [user("95", "0") got("fifo 80")], "rtprio_limit", "holds", "";
%!   "Linux", [user("unlimited", "0") got("fifo 80")], "rtprio_limit", "holds", "";
%!   "Linux", user("50", "0"), "rtprio_limit", "does not hold", "obtained 'other', the limit permits 'fifo 50'";
%!   "Linux", "res = field (res, 'privileged', 'unknown');", "rtprio_limit", "cannot tell", "";
%!   "Linux", [raised got("fifo 80")], "rtprio_limit", "cannot tell", "found raised";
%!   "Linux", [root nice("nice -20")], "nice_limit", "holds", "obtained 'nice -20', the limit permits 'nice -20'";
%!   "Linux", root, "nice_limit", "does not hold", "obtained 'nice 0', the limit permits 'nice -20'";
%!   "Linux", [user("0", "30") nice("nice -10")], "nice_limit", "holds", "";
%!   "Linux", user("0", "0"), "nice_limit", "holds", "permits 'nice 0'";
%!   "Linux", [user("0", "0") "res.priority.before.process = 'nice 5'; " nice("nice 5")], "nice_limit", "holds", "";
%!   "Linux", user("0", "30"), "nice_limit", "does not hold", "permits 'nice -10'";
%!   "Linux", [raised nice("nice -20")], "nice_limit", "cannot tell", "";
%!   "Linux", "", "wakeup_latency", "holds", "opens for writing";
%!   "Linux", "res.wakeup_latency_request = false;", "wakeup_latency", "does not hold", "does not open";
%!   "Linux", "res.wakeup_latency_request = [];", "wakeup_latency", "cannot tell", "";
%!   ## The timer alone within the default spin, with rtboost where it ran.
%!   "Linux", "", "default_spin", "holds", "0\\.123 ms late at p99 without rtboost, against a default spin of 0\\.5 ms";
%!   "Linux", "res.normal.timer.p99_ms = 0.7;", "default_spin", "does not hold", "";
%!   "Linux", "res.normal.timer.p99_ms = 0.7; res = boosted (res); res.boosted.timer.p99_ms = 0.2;", ...
%!     "default_spin", "holds", "0\\.200 ms late at p99 with rtboost";
%!   "Linux", "res.normal.timer.p99_ms = NaN;", "default_spin", "cannot tell", "";
%!   "Windows", "res.normal.timer.p99_ms = 0.7;", "default_spin", "holds", "default spin of 1 ms";
%!   "macOS", "res.normal.timer.p99_ms = 0.7;", "default_spin", "does not hold", "";
%!   ## Windows: the timer alone and sleep(1) tell the high-resolution
%!   ## timer and the resolution granted; rtstatus the rest.
%!   "Windows", "res = field (res, 'high_resolution_timer', 'yes');", "high_res_timer", "holds", "yes; the timer alone ends 0\\.050 ms late at p50";
%!   "Windows", "res.normal.timer.p50_ms = 0.9;", "high_res_timer", "does not hold", "";
%!   "Windows", "res = field (res, 'high_resolution_timer', 'no');", "high_res_timer", "does not hold", "timer: no";
%!   "Windows", "res.normal.timer.p50_ms = NaN;", "high_res_timer", "cannot tell", "";
%!   "Windows", "res = field (res, 'timer_resolution_ms', '1.000000');", "timer_resolution", "holds", "sleep\\(1\\) ends 0\\.050 ms late at p50; the resolution reads 1\\.000000 ms";
%!   "Windows", "res.normal.sleep.p50_ms = 14.6;", "timer_resolution", "does not hold", "";
%!   "Windows", "res.normal.sleep.p50_ms = NaN;", "timer_resolution", "cannot tell", "";
%!   "Windows", "res = field (res, 'power_throttling', 'kept');", "power_throttling", "holds", "reads 'kept'";
%!   "Windows", "res = field (res, 'power_throttling', 'default');", "power_throttling", "does not hold", "";
%!   "Windows", "res = field (res, 'power_throttling', 'ignored');", "power_throttling", "does not hold", "";
%!   "Windows", "res = field (res, 'power_throttling', 'unknown');", "power_throttling", "cannot tell", "does not tell";
%!   "Windows", [win root "res.priority.boosted.process = 'realtime';"], "priority_class", "holds", "administrator: yes; rtboost obtained 'realtime'";
%!   "Windows", [win "res = field (res, 'privileged', 'no'); res.priority.boosted.process = 'high';"], "priority_class", "holds", "allows 'high'";
%!   "Windows", [win "res = field (res, 'privileged', 'no'); res.priority.boosted.process = 'normal';"], "priority_class", "does not hold", "";
%!   "Windows", [win root "res.priority.boosted.process = 'high';"], "priority_class", "does not hold", "allows 'realtime'";
%!   "Windows", [win "res = field (res, 'privileged', 'unknown'); res.priority.boosted.process = 'high';"], "priority_class", "cannot tell", "";
%!   "Windows", [win raised], "priority_class", "cannot tell", "";
%!   "Windows", "", "ctrl_c", "cannot tell", "by hand: type delay\\(10\\) and press Ctrl\\+C";
%!   ## macOS: what rtstatus reads there.
%!   "macOS", "res = field (res, 'latency_tier', '0');", "latency_tier", "holds", "gets tier 0";
%!   "macOS", "res = field (res, 'latency_tier', '3');", "latency_tier", "does not hold", "";
%!   "macOS", "", "latency_tier", "cannot tell", "";
%!   "macOS", ["res = boosted (res); res.priority.boosted.thread = 'time constraint'; " ...
%!             "res = field (res, 'policy', 'rr', 'kept');"], "time_constraint", "holds", "obtained 'time constraint'; after the pass the kernel's policy is 'rr'";
%!   "macOS", ["res = boosted (res); res.priority.boosted.thread = 'time constraint'; " ...
%!             "res = field (res, 'policy', 'timeshare', 'kept');"], "time_constraint", "does not hold", "";
%!   "macOS", "res = boosted (res); res.priority.boosted.thread = 'normal';", "time_constraint", "does not hold", "";
%!   "macOS", ["res = boosted (res); res.priority.boosted.thread = 'time constraint'; " ...
%!             "res = field (res, 'policy', 'n/a', 'kept');"], "time_constraint", "cannot tell", "";
%!   "macOS", raised, "time_constraint", "cannot tell", "";
%!   "macOS", "res = field (res, 'utc_resolution_ns', '1000');", "utc_resolution", "holds", "reports 1000 ns; clockutc pairs within 2\\.500 us";
%!   "macOS", "", "utc_resolution", "does not hold", "";
%!   "macOS", "res = field (res, 'utc_resolution_ns', 'n/a');", "utc_resolution", "cannot tell", "";
%!   "macOS", "res = field (res, 'timebase', '125/3');", "timebase", "holds", "";
%!   "macOS", "res = field (res, 'timebase', '1/1');", "timebase", "holds", "";
%!   "macOS", "res = field (res, 'timebase', '7/3');", "timebase", "does not hold", "";
%!   "macOS", "", "timebase", "cannot tell", "";
%!   "macOS", "res = field (res, 'translated', 'no');", "translated", "holds", "";
%!   "macOS", "res = field (res, 'translated', 'yes');", "translated", "does not hold", "";
%!   "macOS", "", "translated", "cannot tell", "";
%!   "macOS", "res = field (res, 'qos_class', 'user-interactive');", "qos_class", "holds", "";
%!   "macOS", "res = field (res, 'qos_class', 'background');", "qos_class", "does not hold", "";
%!   "macOS", "", "qos_class", "cannot tell", "";
%!   ## MATLAB: the files load, errors cross them, warnings come.
%!   "MATLAB", "", "loads", "holds", "^8 of 8 MEX files loaded and answered$";
%!   "MATLAB", "res.failures = {'sleep: raised MATLAB:invalidMEXFile: Invalid MEX-file'};", "loads", "does not hold", "7 of 8 .*; not sleep$";
%!   "MATLAB", "res.functions = structfun (@(f) strrep (f, '.mexa64', '.m'), res.functions, 'UniformOutput', false);", "loads", "cannot tell", "";
%!   "MATLAB", "", "errors_unwind", "holds", "20 of 20 bad calls";
%!   "MATLAB", "res.error_checks.failed = 1;", "errors_unwind", "does not hold", "19 of 20";
%!   "MATLAB", "res.error_checks.run = 0;", "errors_unwind", "cannot tell", "";
%!   "MATLAB", "res.priority.warning = 'MATLAB:rtboost:notGranted';", "warnings", "holds", "warned 'MATLAB:rtboost:notGranted'";
%!   "MATLAB", "", "warnings", "does not hold", "";
%!   "MATLAB", "res = boosted (res);", "warnings", "cannot tell", "obtained a priority";
%!   "MATLAB", raised, "warnings", "cannot tell", ""};
%! for k = 1:rows (cases)
%!   [system, changes, name, answer, figure] = cases{k, :};
%!   res = made_up ();
%!   if (strcmp (system, "MATLAB"))
%!     res.host = "MATLAB";
%!   else
%!     res.machine.system = system;
%!   endif
%!   eval (changes);
%!   res = conclude (res);
%!   c = res.platform(strcmp ({res.platform.name}, name));
%!   assert (numel (c) == 1, "row %d: no check %s", k, name);
%!   assert (strcmp (c.verdict, answer), "row %d: %s %s: %s", k, name, c.verdict, c.figure);
%!   assert (isempty (figure) || ! isempty (regexp (c.figure, figure, "once")), "row %d: %s", k, c.figure);
%!   assert (isempty (c.advice) == strcmp (name, "ctrl_c"), "row %d: advice", k);
%! endfor

%!test
%! ## The platform table and its verdict line, as printed: each answer, and
%! ## the advice under a check that does not hold.
%! res = made_up ();
%! res.machine.preemption = "none";
%! out = printed (res);
%! assert (regexp (out, "\npreemption +does not hold +preemption none \\(a PREEMPT kernel\\)\n +a woken thread [^\n]*boot with preempt=full", "once") > 0, out);
%! assert (regexp (out, "\nplatform: 7 of 8 assumptions hold here, 0 cannot be told by the check; not holding: preemption \\(", "once") > 0, out);

%!test
%! ## The preemption model, from what the kernel tells: the debugfs file's
%! ## marked mode first, then PREEMPT_RT, then PREEMPT_DYNAMIC's preempt= or
%! ## its build default, then PREEMPT in the version; '' where nothing tells.
%! dynamic = "Linux version 6.1.0 (gcc) #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1";
%! cases = {"", "none voluntary (full) lazy", "", "", "full", "debugfs";
%!          dynamic, "", "quiet preempt=full", "CONFIG_PREEMPT_VOLUNTARY=y", "full", "preempt=full on the kernel command line";
%!          dynamic, "", "quiet", "CONFIG_PREEMPT_BUILD=y\nCONFIG_PREEMPT_VOLUNTARY=y\n", "voluntary", "default voluntary";
%!          dynamic, "", "quiet", "# CONFIG_PREEMPT is not set\nCONFIG_PREEMPT_NONE=y", "none", "";
%!          dynamic, "", "", "", "", "";
%!          "Linux version 6.6.0-rt #1 SMP PREEMPT_RT", "", "", "", "rt", "PREEMPT_RT";
%!          "Linux version 5.15.0 #1 SMP PREEMPT Mon", "", "", "", "full", "a PREEMPT kernel";
%!          "Linux version 5.15.0 #1 SMP Mon", "", "", "CONFIG_PREEMPT_VOLUNTARY=y", "voluntary", "build options";
%!          "Linux version 5.15.0 #1 SMP Mon", "", "", "", "none or voluntary", "without PREEMPT";
%!          "", "", "", "", "", ""};
%! for k = 1:rows (cases)
%!   [version, debug, cmdline, config, model, source] = cases{k, :};
%!   [got, told] = preemption_model (version, debug, cmdline, strrep (config, '\n', "\n"));
%!   assert (strcmp (got, model), "row %d: %s", k, got);
%!   assert (isempty (source) || ! isempty (strfind (told, source)), "row %d: %s", k, told);
%! endfor

%!test
%! ## rtstatus's fourth answer by name: 'n/a' for each name it lacks, none
%! ## taken that is not among the names.
%! f = platform_fields ("timer_resolution_ms=15.625000; privileged=no; policy=fifo 80 reset-on-fork; bogus=1");
%! assert ({f.timer_resolution_ms, f.privileged, f.policy, f.qos_class}, {"15.625000", "no", "fifo 80 reset-on-fork", "n/a"});
%! assert (! isfield (f, "bogus"));
%! assert (numel (fieldnames (f)), 14);
%! assert (all (strcmp (struct2cell (platform_fields ("")), "n/a")));

%!test
%! ## The options, checked before anything is measured: each row the
%! ## arguments, then the error or what was asked for. Octave 6 has no
%! ## jsonencode: the report's error names the version.
%! cases = {{"plot"}, "", true, "", "";
%!          {"plot", "a.png"}, "", true, "a.png", "";
%!          {"report", "r"}, "", false, "", "r.json";
%!          {"plot", "report", "r.json"}, "", true, "", "r.json";
%!          {"report", "r.json", "plot", "a.png"}, "", true, "a.png", "r.json";
%!          {"PLOT", "report", "r.json"}, "", true, "", "r.json";
%!          {"plot", "report"}, "mextimecheck:invalidFile", [], "", "";
%!          {"report", 5}, "mextimecheck:invalidFile", [], "", "";
%!          {"plot", "plot"}, "mextimecheck:invalidOption", [], "", "";
%!          {"report", "a.json", "report", "b.json"}, "mextimecheck:invalidOption", [], "", "";
%!          {"plot", "a.png", "b.png"}, "mextimecheck:invalidOption", [], "", "";
%!          {"plot", "a", "report", "b", "c"}, "mextimecheck:invalidNumInputs", [], "", "";
%!          {"report", "/nonexistent/folder/r.json"}, "mextimecheck:cannotWrite", [], "", ""};
%! for k = 1:rows (cases)
%!   [args, id, plot, plot_file, report_file] = cases{k, :};
%!   if (! isempty (id))
%!     raises ("options (args, 'Octave', '7.3.0', true)", id);
%!     continue;
%!   endif
%!   opts = options (args, "Octave", "7.3.0", true);
%!   assert (isequal ({opts.plot, opts.plot_file}, {plot, plot_file}), "row %d", k);
%!   if (isempty (report_file))
%!     assert (opts.report_file, "");
%!   else
%!     assert (strcmp (opts.report_file, fullfile (pwd, report_file)), "row %d", k);
%!     assert (strcmp (opts.methods_file, fullfile (pwd, "r_methods.txt")), "row %d", k);
%!   endif
%! endfor
%! err = raises ("options ({'report', 'r.json'}, 'Octave', '6.4.0', false)", "mextimecheck:noJsonencode");
%! assert (regexp (err.message, "^Octave 6\\.4\\.0 has no jsonencode, .*Octave 7") == 1, err.message);
%! options ({"plot"}, "Octave", "6.4.0", false);

%!test
%! ## A plot that cannot be saved is found before measuring, with why.
%! ## MATLAB's way: whether a toolkit can draw is another row's.
%! [ok, file, why] = plot_ready ("/nonexistent/folder/check.png", false);
%! assert (! ok && strcmp (file, "/nonexistent/folder/check.png"));
%! assert (why, "Cannot write the file /nonexistent/folder/check.png.");

%!test
%! ## Histograms between fixed edges: early values below, the rest from the
%! ## last edge on above, each value in one bin.
%! h = histogram_ms ([-0.01, 0, 0.0015, 0.05, 0.07, 0.5, 0.99, 1, 100, 150]);
%! assert (h.edges_ms([1, 3, 7, 11, end]), [0, 0.002, 0.05, 1, 100]);
%! assert (h.counts, [1 1 0 0 0 0 2 0 0 2 1 0 0 0 0 0]);
%! assert ([h.below, h.above], [1, 2]);

%!test
%! ## The report of a made-up result: every field docs/report.md names, no
%! ## other, each of its type (report_fields.py, with Python's json); and as
%! ## jsondecode reads it back, the figures, histograms and samples of each
%! ## pass; every verdict and platform check; the methods paragraph, in the
%! ## report and beside it. Octave 6 has no jsonencode: options' row of
%! ## noJsonencode covers it there.
%! if (! exist ("jsonencode"))
%!   return;
%! endif
%! doc = fullfile (fileparts (which ("raises")), "..", "..", "docs", "report.md");
%! checker = fullfile (fileparts (which ("raises")), "..", "package", "report_fields.py");
%! for with_boost = [false, true]
%!   res = conclude (made_up ());
%!   if (with_boost)
%!     res = conclude (boosted (made_up ()));
%!   endif
%!   file = fullfile (here, "check.json");
%!   methods_file = fullfile (here, "check_methods.txt");
%!   png = fullfile (here, "check.png");
%!   fid = fopen (png, "w");
%!   fputs (fid, "made up");
%!   fclose (fid);
%!   out = evalc ("write_report (res, file, methods_file, png)");
%!   r = jsondecode (fileread (file));
%!   [status, text] = system (sprintf ("python3 '%s' '%s' '%s'", checker, doc, file));
%!   assert (status == 0, "%s", text);
%!   assert ({r.schema, r.schema_version, r.mextime_version}, {"mextime-report", 1, "9.9.9"});
%!   assert (r.normal.sleep.late_ms', res.normal.sleep.overshoot_ms);
%!   assert (r.normal.sleep.histogram.counts', histogram_ms (res.normal.sleep.overshoot_ms).counts);
%!   assert ([r.normal.trials.p99_ms], [0.2, 0.2]);
%!   assert (r.normal.trials(2).off_ms', res.normal.trials(2).off_ms);
%!   assert (r.load.before.loadavg', [0.5, 0.4, 0.3]);
%!   assert (r.verdicts, res.verdicts');
%!   assert ({r.platform.verdict}, {res.platform.verdict});
%!   assert (isempty (r.boosted), ! with_boost);
%!   assert (r.platform_values.privileged, "no");
%!   assert ({r.plot.file, r.plot.bytes}, {png, 7});
%!   assert (fileread (methods_file), [r.methods "\n"]);
%!   assert (! isempty (strfind (out, r.methods)) && ! isempty (strfind (out, ["report written to " file])));
%! endfor

%!test
%! ## The methods paragraph, worded from the figures: host, OS, priority,
%! ## onset error at p99 and at worst over every trial, date, version, load.
%! res = made_up ();
%! res.normal.trials(2).off_ms(end-3:end) = [0.9, 1, 1.1, 1.25];
%! text = methods_text (res);
%! said = {"^Timing was checked with mextimecheck \\(mextime 9\\.9\\.9\\) in GNU Octave 7\\.3\\.0 ";
%!         "on Debian GNU/Linux 12 \\(bookworm\\) \\(kernel 6\\.1\\.0\\), AMD EPYC, 2 cores, on 2026-12-10\\. ";
%!         "At the ordinary priority \\(nice 0, other\\), 400 trials paced 10 ms apart";
%!         "in two loops of 200, began 0\\.300 ms after their planned time at the 99th percentile and 1\\.250 ms at worst";
%!         "sleep\\(1\\) ended 0\\.123 ms late";
%!         "The load average was 0\\.50 before the check and 0\\.70 after it\\.$"};
%! for k = 1:numel (said)
%!   assert (regexp (text, said{k}, "once") > 0, "no %s in: %s", said{k}, text);
%! endfor
%! ## With rtboost's pass, its figures.
%! res = boosted (res);
%! [res.boosted.trials.off_ms] = deal (0.07 * ones (1, 200));
%! res.boosted.sleep.p99_ms = 0.111;
%! text = methods_text (res);
%! said = {"With the priority raised by rtboost \\(nice -20, fifo 80\\), 400 trials";
%!         "began 0\\.070 ms after their planned time at the 99th percentile and 0\\.070 ms at worst";
%!         "sleep\\(1\\) ended 0\\.111 ms late"};
%! for k = 1:numel (said)
%!   assert (regexp (text, said{k}, "once") > 0, "no %s in: %s", said{k}, text);
%! endfor

%!test
%! ## The load average as macOS's sysctl(8) prints vm.loadavg, its struct
%! ## loadavg as "{ 1.52 1.38 1.40 }", and none where it fails; a busy loop's
%! ## share of a core either way.
%! global fixture_system;
%! shadowed = warning ("off", "Octave:shadowed-function");
%! addpath (fullfile (fixtures, "mac"));
%! unwind_protect
%!   for row = {{0, "{ 1.52 1.38 1.40 }\n", [1.52, 1.38, 1.40]};
%!              {1, "sysctl: unknown oid\n", [NaN, NaN, NaN]}}'
%!     fixture_system = row{1}(1:2);
%!     load = machine_load ();
%!     assert (load.loadavg, row{1}{3});
%!     assert (load.busy_share > 0 && load.busy_share < 1.5, "busy share %g", load.busy_share);
%!   endfor
%! unwind_protect_cleanup
%!   rmpath (fullfile (fixtures, "mac"));
%!   warning (shadowed);
%!   clear -global fixture_system;
%! end_unwind_protect

%!test
%! ## rtboost's warning where it obtains nothing is heard, not shown, and
%! ## reported as its identifier; the user's warning state and last warning
%! ## are as found, even where the user had turned it off.
%! addpath (fullfile (fixtures, "refused"));
%! unwind_protect
%!   warning ("off", "MATLAB:rtboost:notGranted");
%!   lastwarn ("the user's", "user:own");
%!   [out, failures, warned] = evalc ("boost ()");
%!   assert ({out, failures, warned}, {"", {}, "MATLAB:rtboost:notGranted"});
%!   [message, id] = lastwarn ();
%!   assert ({message, id}, {"the user's", "user:own"});
%!   assert (warning ("query", "MATLAB:rtboost:notGranted").state, "off");
%! unwind_protect_cleanup
%!   warning ("on", "MATLAB:rtboost:notGranted");
%!   rmpath (fullfile (fixtures, "refused"));
%! end_unwind_protect

%!test
%! ## Broken functions fail the behaviour checks, each by its name and fault.
%! names = {"clockread", "clockutc", "sleep", "waituntil", "delay", "rtboost", "rtrestore", "rtstatus"};
%! addpath (fullfile (fixtures, "broken"));
%! unwind_protect
%!   [~, found] = locate (names);
%!   failures = [check_errors(found), check_answers(found)];
%!   [status, status_failures] = read_status (found);
%!   failures = [failures, status_failures];
%! unwind_protect_cleanup
%!   rmpath (fullfile (fixtures, "broken"));
%! end_unwind_protect
%! faults = {"^sleep: sleep\\(\\); raised 'MATLAB:sleep:noInput', expected MATLAB:sleep:invalidNumInputs$";
%!           "^sleep: \\[a, b\\] = sleep\\(0\\); raised '[^']*', expected MATLAB:sleep:maxlhs$";
%!           "^sleep: sleep\\(2\\) did not answer the double 0$";
%!           "^sleep: sleep\\(2\\) returned after [0-9.]+ ms$";
%!           "^waituntil: waituntil\\(NaN\\); said 'Deadline is not a number.'";
%!           "^waituntil: returned [0-9.]+ ms before its deadline$";
%!           "^waituntil: with spin 0, returned before its deadline";
%!           "^rtstatus: the fourth answer is not every name=value pair of its help$"};
%! for k = 1:numel (faults)
%!   assert (any (! cellfun (@isempty, regexp (failures, faults{k}))), "no failure like %s in: %s",
%!           faults{k}, strjoin (failures, "; "));
%! endfor
%! assert (numel (failures), numel (faults), strjoin (failures, "; "));
%! assert (status.platform, "");

%!test
%! rmpath (here);
%! confirm_recursive_rmdir (false, "local");
%! rmdir (here, "s");
