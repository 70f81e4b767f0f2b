## selfcheck (VERSION, PNG, FIXTURES): mextimecheck run as a user would,
## headless, against the files in dist/octave. VERSION is the release's,
## PNG the plot to write, FIXTURES the folder of the stand-ins.
function selfcheck (version, png, fixtures)
  ## Bad input to mextimecheck: its own error, before any clock is read.
  global clockread_calls;
  clockread_calls = 0;
  addpath (fullfile (fixtures, "counting"));
  bad = {"mextimecheck ('plto')", "mextimecheck:invalidOption";
         "mextimecheck ('plot', 5)", "mextimecheck:invalidFile";
         "mextimecheck ('plot', '/nonexistent/folder/check.png')", "mextimecheck:cannotWrite";
         "mextimecheck ('plot', 'check.png', 1)", "mextimecheck:invalidNumInputs"};
  for row = bad'
    raises (row{:});
    assert (clockread_calls == 0, "%s measured before its error", row{1});
  endfor
  rmpath (fullfile (fixtures, "counting"));

  ## The whole check, with its plot, as root: rtboost obtains real time,
  ## the PM QoS request is held, and the priority ends as it began.
  if (exist (png, "file"))
    delete (png);
  endif
  before = scheduling ();
  r = mextimecheck ("plot", png);
  assert (scheduling (), before);
  assert (r.passed, "failed: %s", strjoin (r.failures, "; "));
  assert ({r.mextime_version, r.host, r.platform}, {version, "Octave", computer()});
  assert (r.priority.obtained && r.priority.restored && r.priority.boosted.realtime && r.wakeup_latency_request);
  ## A slewed clock moves by some 500 ppm, a wrong formula by 1e6.
  assert (r.utc_uncertainty >= 0 && r.utc_uncertainty < 1e-4 && abs (r.utc_drift_ppm) < 1e4);
  for pass = {r.normal, r.boosted}
    p = pass{1};
    assert ([p.clockread.step_us, p.clockread.cost_us] > 0);
    for w = [p.sleep, p.waituntil]
      assert (w.n == 300 && all (diff ([0, w.p50_ms, w.p90_ms, w.p99_ms, w.max_ms]) >= 0));
    endfor
    assert ([p.trials.n, p.trials_500ms.n], [200, 10]);
    assert ([p.trials.jitter_ms, p.trials.worst_ms, p.trials_500ms.worst_ms] >= 0);
    assert (p.spin.learned_ms >= 0.02 && p.spin.learned_ms <= 0.5 && p.spin.cpu_share > 0);
  endfor
  picture = fileread (png);
  assert (strncmp (picture, char ([137 80 78 71 13 10 26 10]), 8) && numel (picture) > 1000, "%s is no PNG", png);

  ## Broken functions fail the check, each by its name and fault. The
  ## session runs raised already: measured once, and left raised.
  rtboost ();
  before = scheduling ();
  addpath (fullfile (fixtures, "broken"));
  r = mextimecheck ();
  rmpath (fullfile (fixtures, "broken"));
  assert (scheduling (), before);
  rtrestore ();
  assert (r.priority.raised_before && ! r.priority.restored && isempty (r.boosted));
  faults = {"^sleep: sleep\\(\\); raised 'MATLAB:sleep:noInput', expected MATLAB:sleep:invalidNumInputs$";
            "^sleep: sleep\\(2\\) did not answer the double 0$";
            "^sleep: sleep\\(2\\) returned after 1\\.[0-9]+ ms$";
            "^sleep\\(1\\): [0-9]+ of 300 waits of 1 ms ended early";
            "^waituntil: waituntil\\(NaN\\); said 'Deadline is not a number.'";
            "^waituntil: returned 0\\.[0-9]+ ms before its deadline$";
            "^waituntil: with spin 0, returned before its deadline";
            "^waituntil: [0-9]+ of 300 waits of 1 ms ended early"};
  for k = 1:numel (faults)
    assert (any (! cellfun (@isempty, regexp (r.failures, faults{k}))), "no failure like %s in: %s",
            faults{k}, strjoin (r.failures, "; "));
  endfor
  assert (numel (r.failures), numel (faults), strjoin (r.failures, "; "));
endfunction

## Policy and priority of this process, and the nice value of each thread.
function s = scheduling ()
  [~, chrt] = system (sprintf ("chrt -p %d", getpid ()));
  [~, ps] = system (sprintf ("ps -L -o tid=,nice= -p %d", getpid ()));
  s = {strtrim(chrt), strtrim(ps)};
endfunction
