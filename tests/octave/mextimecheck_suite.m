## mextimecheck's rules without timing: its private functions, as shipped
## beside the mextimecheck found on the path (dist/octave, an installed
## package or a mexbuild folder), called on made-up results. Octave lets
## only mextimecheck call them, so the suite calls a copy of that folder.

%!shared here, fixtures
%! here = tempname ();
%! copyfile (fullfile (fileparts (which ("mextimecheck")), "private"), here);
%! addpath (here);
%! fixtures = fullfile (fileparts (which ("raises")), "fixtures");

## A result as a run without rtboost's pass would give, every figure set.
%!function res = made_up ()
%!  pass = empty_pass ();
%!  pass.clockread = struct ("n", 100000, "step_us", 1.5, "cost_us", 2.25);
%!  w = struct ("n", 300, "p50_ms", 0.05, "p90_ms", 0.08, "p99_ms", 0.123, "max_ms", 0.4,
%!              "overshoot_ms", []);
%!  [pass.sleep, pass.waituntil] = deal (w);
%!  pass.spin = struct ("learned_ms", 0.08, "cpu_share", 0.25);
%!  pass.trials = struct ("n", 200, "period_ms", 10, "jitter_ms", 0.01, "p99_ms", 0.2,
%!                        "worst_ms", 0.3);
%!  pass.trials_500ms = struct ("n", 10, "period_ms", 500, "jitter_ms", 0.02, "p99_ms", 0.25,
%!                              "worst_ms", 0.25);
%!  status = struct ("realtime", false, "process", "nice 0", "thread", "other");
%!  res = struct ("host", "Octave", "failures", {{}}, "notes", {{}}, "normal", pass,
%!                "boosted", [], "wakeup_latency_request", true, "utc_uncertainty", 2.5e-6,
%!                "utc_drift_ppm", 0.04, "seconds", 12.34);
%!  res.priority = struct ("before", status, "boosted", status, "after", status,
%!                         "state", "normal", "raised_before", false, "obtained", false,
%!                         "restored", true);
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
%!          "clockutc   pairing \\(us\\) +2\\.500\n";
%!          "UTC drift \\(ppm\\) +0\\.040\n";
%!          "steps of 1\\.50 us, far finer than 1 ms\\.";
%!          "sleep\\(1\\): late by 0\\.123 ms at p99, 0\\.400 ms at worst";
%!          "a 1 kHz loop with it kept 25% of a core busy";
%!          "off plan by 0\\.200 ms at p99, 0\\.300 ms at worst";
%!          "within 2\\.500 us \\(median of 100\\)"};
%! for k = 1:numel (shown)
%!   assert (regexp (out, shown{k}, "once") > 0, "no %s in:\n%s", shown{k}, out);
%! endfor
%! ## sleep's and waituntil's
%! assert (numel (regexp (out, "p99 \\(ms\\) +0\\.123\n")), 2);

%!test
%! ## Pacing rests on p99 of the 200 trials, shows the worst, and says what
%! ## to change where it does not hold with margin: the priority and the
%! ## PM QoS request where the check found them missing, a fixed spin and
%! ## the load always. Each row: changes to the made-up result, what the
%! ## verdict says, what it must not.
%! grant = "real time for rtboost"; pmqos = "PM QoS"; spin = "waituntil\\(t, 0\\.002\\)";
%! idle = "otherwise idle"; advice = "To pace better";
%! late = "res.normal.trials.p99_ms = 1.5;";
%! boosted = [late " res.priority.obtained = true; res.priority.boosted.realtime = true; res.boosted = res.normal;"];
%! cases = {
%!   "res.normal.trials.worst_ms = 3;", ...
%!     {"0\\.200 ms at p99, 3\\.000 ms at worst", "1 ms pacing holds at p99\\.$"}, {advice};
%!   "res.normal.trials.p99_ms = 0.7;", {"holds at p99, with little margin\\.", grant, spin, idle}, {pmqos};
%!   [late " res.wakeup_latency_request = false;"], ...
%!     {"does not hold at p99\\. To pace better", grant, pmqos, spin, idle}, {};
%!   ## As root, every privilege obtained: a spin and the load are left.
%!   [boosted " res.boosted.trials.p99_ms = 1.2;"], ...
%!     {"with rtboost 1\\.200 ms at p99", "does not hold at p99\\. To pace better", spin, idle}, {grant, pmqos};
%!   [boosted " res.boosted.trials.p99_ms = 0.2;"], ...
%!     {"holds at p99 with rtboost; without it, 1 ms pacing does not hold at p99\\.$"}, {advice};
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
%! ## How the check finds the priority, from rtstatus's answers on Linux
%! ## and Windows: only 'normal' lets the pass with rtboost run.
%! cases = {false, "nice 0", "other", "normal";
%!          false, "normal", "normal", "normal";
%!          true, "nice -20", "fifo 80", "raised";
%!          false, "nice -5", "other", "raised";
%!          false, "nice 0", "rr 10", "raised";
%!          false, "high", "normal", "raised";
%!          false, "normal", "above normal", "raised";
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
%! ## Broken functions fail the behaviour checks, each by its name and fault.
%! names = {"clockread", "clockutc", "sleep", "waituntil", "delay", "rtboost", "rtrestore", "rtstatus"};
%! addpath (fullfile (fixtures, "broken"));
%! unwind_protect
%!   [~, found] = locate (names);
%!   failures = [check_errors(found), check_answers(found)];
%! unwind_protect_cleanup
%!   rmpath (fullfile (fixtures, "broken"));
%! end_unwind_protect
%! faults = {"^sleep: sleep\\(\\); raised 'MATLAB:sleep:noInput', expected MATLAB:sleep:invalidNumInputs$";
%!           "^sleep: \\[a, b\\] = sleep\\(0\\); raised '[^']*', expected MATLAB:sleep:maxlhs$";
%!           "^sleep: sleep\\(2\\) did not answer the double 0$";
%!           "^sleep: sleep\\(2\\) returned after [0-9.]+ ms$";
%!           "^waituntil: waituntil\\(NaN\\); said 'Deadline is not a number.'";
%!           "^waituntil: returned [0-9.]+ ms before its deadline$";
%!           "^waituntil: with spin 0, returned before its deadline"};
%! for k = 1:numel (faults)
%!   assert (any (! cellfun (@isempty, regexp (failures, faults{k}))), "no failure like %s in: %s",
%!           faults{k}, strjoin (failures, "; "));
%! endfor
%! assert (numel (failures), numel (faults), strjoin (failures, "; "));

%!test
%! rmpath (here);
%! confirm_recursive_rmdir (false, "local");
%! rmdir (here, "s");
