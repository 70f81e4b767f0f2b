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
    [call, id] = row{:};
    err = [];
    try
      eval (call);
    catch err
    end_try_catch
    assert (! isempty (err) && strcmp (err.identifier, id), "%s did not raise %s", call, id);
    assert (clockread_calls == 0, "%s measured before its error", call);
  endfor
  rmpath (fullfile (fixtures, "counting"));

  ## The whole check, with its plot; the priority ends as it began.
  if (exist (png, "file"))
    delete (png);
  endif
  before = scheduling ();
  r = mextimecheck ("plot", png);
  assert (scheduling (), before);
  assert (r.passed, "failed: %s", strjoin (r.failures, "; "));
  assert ({r.mextime_version, r.host, r.platform}, {version, "Octave", computer()});
  assert (r.priority.restored && r.priority.boosted.realtime);
  for pass = {r.normal, r.boosted}
    p = pass{1};
    assert ([p.clockread.step_us, p.clockread.cost_us] > 0);
    for w = {p.sleep, p.waituntil}
      w = w{1};
      assert (w.n, 300);
      assert (all (diff ([0, w.p50_ms, w.p90_ms, w.p99_ms, w.max_ms]) >= 0));
    endfor
    assert (p.trials.n, 200);
    assert ([p.trials.jitter_ms, p.trials.worst_ms] >= 0);
  endfor
  fid = fopen (png, "r");
  signature = fread (fid, 8, "uint8")';
  fclose (fid);
  assert (isequal (signature, [137 80 78 71 13 10 26 10]), "%s is not a PNG", png);
  assert (stat (png).size > 1000);

  ## A function that raises a wrong identifier fails the check, by its name.
  addpath (fullfile (fixtures, "wrong_identifier"));
  r = mextimecheck ();
  assert (! r.passed);
  assert (numel (r.failures) == 1, strjoin (r.failures, "; "));
  assert (strncmp (r.failures{1}, "sleep: sleep()", 14), r.failures{1});
  assert (! isempty (strfind (r.failures{1}, "MATLAB:sleep:invalidNumInputs")));
endfunction

## Policy and priority of this process, and the nice value of each thread.
function s = scheduling ()
  [~, chrt] = system (sprintf ("chrt -p %d", getpid ()));
  [~, ps] = system (sprintf ("ps -L -o tid=,nice= -p %d", getpid ()));
  s = {strtrim(chrt), strtrim(ps)};
endfunction
