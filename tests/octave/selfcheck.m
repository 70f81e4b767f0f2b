## selfcheck (VERSION, FIXTURES): mextimecheck run as a user would,
## headless, against the files in dist/octave. VERSION is the release's,
## FIXTURES the folder of the stand-ins. Its verdicts, report and units are
## mextimecheck_suite's, on made-up results; here its JSON report of a real
## run is read back by jsondecode, and by Python's json against
## docs/report.md.
function selfcheck (version, fixtures)
  ## Bad input to mextimecheck: its own error, before any clock is read.
  global clockread_calls;
  clockread_calls = 0;
  addpath (fullfile (fixtures, "counting"));
  warning ("off", "Octave:shadowed-function", "local");
  bad = {"mextimecheck ('plto')", "mextimecheck:invalidOption";
         "mextimecheck (1)", "mextimecheck:invalidOption";
         "mextimecheck ({'plot'})", "mextimecheck:invalidOption";
         "mextimecheck ('plot', 'check.png', 1)", "mextimecheck:invalidOption";
         "mextimecheck ('plot', 5)", "mextimecheck:invalidFile";
         "mextimecheck ('plot', '')", "mextimecheck:invalidFile";
         "mextimecheck ('plot', ['a.png'; 'b.png'])", "mextimecheck:invalidFile";
         "mextimecheck ('plot', 'report')", "mextimecheck:invalidFile";
         "mextimecheck ('report', '/nonexistent/folder/check.json')", "mextimecheck:cannotWrite";
         "mextimecheck ('plot', 'a.png', 'report', 'b.json', 1)", "mextimecheck:invalidNumInputs"};
  for row = bad'
    raises (row{:});
    assert (clockread_calls == 0, "%s measured before its error", row{1});
  endfor
  rmpath (fullfile (fixtures, "counting"));

  ## Without clockread on the path: mextimecheck alone, in a folder of its own.
  dist = fileparts (which ("mextimecheck"));
  alone = tempname ();
  mkdir (alone);
  copyfile (which ("mextimecheck"), alone);
  copyfile (fullfile (dist, "private"), fullfile (alone, "private"));
  rmpath (dist);
  addpath (alone);
  unwind_protect
    raises ("mextimecheck ()", "mextimecheck:noClockread");
  unwind_protect_cleanup
    rmpath (alone);
    addpath (dist);
    confirm_recursive_rmdir (false, "local");
    rmdir (alone, "s");
  end_unwind_protect

  ## The whole check, with its plot and report, as root: rtboost obtains
  ## real time, the PM QoS request is held, every platform check answers,
  ## and the priority ends as it began. octave-cli has no display, so the
  ## plot is a PNG in the current folder, its path printed.
  folder = tempname ();
  mkdir (folder);
  here = pwd ();
  before = standing ();
  unwind_protect
    cd (folder);
    out = evalc ("r = mextimecheck ('plot', 'report', 'check.json');");
  unwind_protect_cleanup
    cd (here);
  end_unwind_protect
  printf ("%s", out);
  assert (standing (), before);
  assert (r.passed, "failed: %s", strjoin (r.failures, "; "));
  assert ({r.mextime_version, r.host, r.computer, r.machine.system}, {version, "Octave", computer(), "Linux"});
  assert (r.priority.obtained && r.priority.restored && r.priority.boosted.realtime && r.wakeup_latency_request);
  assert (r.priority.kept.realtime && isempty (r.priority.warning));
  ## A slewed clock moves by some 500 ppm, a wrong formula by 1e6.
  assert (r.utc_uncertainty < 1e-4 && abs (r.utc_drift_ppm) < 1e4);
  for pass = {r.normal, r.boosted}
    p = pass{1};
    assert ([p.clockread.step_us, p.clockread.cost_us] > 0);
    assert ([p.sleep.n, p.waituntil.n, p.timer.n, p.trials.n, p.trials_500ms.n], [300, 300, 300, 200, 200, 10]);
    assert (p.spin.cpu_share > 0);
  endfor
  assert (all (r.load.before.busy_share > 0) && numel (r.load.after.loadavg) == 3 && ! any (isnan (r.load.after.loadavg)));
  answers = {r.platform.verdict};
  assert (numel (answers) == 8 && ! any (strcmp (answers, "cannot tell")), "%s", strjoin (answers, ", "));
  assert (all (strcmp (answers(ismember ({r.platform.name}, {"rtprio_limit", "nice_limit", "wakeup_latency", "high_res_timers", "timer_slack"})), "holds")));
  png = fullfile (folder, "mextimecheck.png");
  assert (! isempty (strfind (out, sprintf ("plot written to %s\n", png))), "no path of the plot");
  picture = fileread (png);
  assert (strncmp (picture, char ([137 80 78 71 13 10 26 10]), 8) && numel (picture) > 1000, "%s is no PNG", png);
  ## The report, read back: the figures R holds; the methods paragraph,
  ## printed and beside it; and, by Python's json, every field
  ## docs/report.md names, no other, each of its documented type.
  json = fullfile (folder, "check.json");
  doc = fullfile (fixtures, "..", "..", "..", "docs", "report.md");
  report = jsondecode (fileread (json));
  assert ([report.boosted.trials.p99_ms], [r.boosted.trials.p99_ms], 1e-9);
  assert (report.normal.timer.late_ms', r.normal.timer.overshoot_ms, 1e-9);
  assert ({report.platform.verdict}, answers);
  assert ({report.plot.file, report.plot.bytes}, {png, numel(picture)});
  methods = fileread (fullfile (folder, "check_methods.txt"));
  assert (strcmp (methods, [report.methods "\n"]) && ! isempty (strfind (out, report.methods)));
  assert (regexp (methods, ["^Timing was checked with mextimecheck \\(mextime " strrep(version, ".", "\\.") "\\) in GNU Octave "]) == 1, methods);
  checker = fullfile (fixtures, "..", "..", "package", "report_fields.py");
  [status, text] = system (sprintf ("python3 '%s' '%s' '%s'", checker, doc, json));
  assert (status == 0, "Python's json: %s", text);
  printf ("%s", text);
  confirm_recursive_rmdir (false, "local");
  rmdir (folder, "s");

  ## A session that runs raised already is measured once and left raised,
  ## on a clock that jumps to each deadline: the order of the passes, in
  ## moments. The stand-ins check nothing and end early: each stage's
  ## failures reach the result, the timing's once. Asked for a plot where
  ## gnuplot is missing, the check says so before it measures anything,
  ## and still returns its result.
  rtboost ();
  before = standing ();
  global instant_spin_zero;
  instant_spin_zero = [];
  addpath (fullfile (fixtures, "instant"));
  program = gnuplot_binary ("/nonexistent/gnuplot");
  lastwarn ("", "");
  unwind_protect
    out = evalc ("r = mextimecheck ('plot');");
  unwind_protect_cleanup
    gnuplot_binary (program);
    rmpath (fullfile (fixtures, "instant"));
  end_unwind_protect
  assert (standing (), before);
  rtrestore ();
  warned = regexp (out, "^warning: Octave plots with gnuplot here, and no gnuplot program is on the path", "once");
  assert (warned == 1, "no warning before the check:\n%s", out);
  [~, id] = lastwarn ();
  assert (id, "mextimecheck:cannotPlot");
  raised_log (id);
  assert (isempty (strfind (out, "plot written")));
  assert (r.priority.state, "raised");
  assert (r.priority.raised_before && ! r.priority.restored && ! r.priority.obtained && isempty (r.boosted));
  assert ([r.normal.trials.n], [200, 200]);
  ## The timer alone is waituntil(t, 0): 300 waits, and one behaviour check.
  assert (numel (instant_spin_zero), 301);
  assert (any (strncmp (r.verdicts, "priority: Octave already ran raised", 35)));
  assert (all (strcmp ({r.platform(ismember ({r.platform.name}, {"rtprio_limit", "nice_limit"})).verdict}, "cannot tell")));
  assert (! r.passed);
  stages = {"^sleep: sleep\\(\\); raised 'Octave:undefined-function'";
            "^clockutc: t is not between two clockread readings";
            "^sleep: sleep\\(2\\) returned after";
            "^sleep\\(1\\): 300 of 300 waits of 1 ms ended early";
            "^waituntil: 300 of 300 waits of 1 ms ended early";
            "^waituntil\\(t, 0\\): 300 of 300 waits of 1 ms ended early"};
  for k = 1:numel (stages)
    assert (sum (! cellfun (@isempty, regexp (r.failures, stages{k}, "once"))) == 1,
            "not once: %s in %s", stages{k}, strjoin (r.failures, "; "));
  endfor
endfunction
