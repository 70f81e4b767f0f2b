## recipes (DIR): the README's run_trials and docs/aligning.md's run_block,
## saved in DIR as the docs write them, with short trials: absolute onsets,
## paced and in order, put in UTC; the CSV holds every trial that began when
## a trial fails, the error reaches the caller, and the priority is given
## back.
function recipes (dir)
  n = 20;
  period = 0.005;
  [t, utc] = clockutc ();
  offset = utc - t;                      # UTC minus clockread, now

  [onset, onset_utc] = run_trials (n, period);
  check_onsets (onset, onset_utc, n, period, offset, "run_trials");
  assert (! rtstatus (), "run_trials: the priority was not given back");

  file = fullfile (dir, "block.csv");
  run_block (n, period, file, @(k) 0);
  rows = read_csv (file);
  assert (rows(:, 1)', 1:n);
  check_onsets (rows(:, 2)', rows(:, 3)', n, period, offset, "run_block");
  assert (all (rows(:, 4) >= 0), "run_block: waituntil_late below 0");
  assert (! exist ([file ".part"], "file"), "run_block: the .part file was left");

  ## A trial that fails: the rows so far are kept, the error goes on.
  failed = fullfile (dir, "failed.csv");
  raises ("run_block (n, period, failed, @(k) stop_at (k, 5))", "recipes:stop");
  rows = read_csv (failed);
  assert (rows(:, 1)', 1:5);
  assert (! rtstatus (), "run_block: the priority was not given back");
  printf ("recipes: run_trials and run_block ran %d trials each; a block stopped at trial 5 kept 5 rows\n", n);
endfunction

## Onsets in order, paced PERIOD apart, and their UTC as clockutc gives it.
function check_onsets (onset, onset_utc, n, period, offset, name)
  assert (isequal (size (onset), [1 n]), [name ": not 1 by n"]);
  assert (all (diff (onset) > 0), [name ": onsets out of order"]);
  assert (abs (median (diff (onset)) - period) < 0.5e-3, [name ": onsets not paced"]);
  assert (onset(end) <= clockread () && onset(1) > clockread () - 10, [name ": onsets not clockread times"]);
  ## The UTC of each onset is its clockread time plus UTC's offset, to 1 ms.
  assert (max (abs (onset_utc - onset - offset)) < 1e-3, [name ": onsets in UTC off"]);
endfunction

function rows = read_csv (file)
  fid = fopen (file, "r");
  assert (fid >= 0, ["no " file]);
  header = fgetl (fid);
  rows = fscanf (fid, "%f,%f,%f,%f", [4 Inf])';
  fclose (fid);
  assert (header, "trial,onset_clockread,onset_utc,waituntil_late");
endfunction

function stop_at (k, last)
  if (k == last)
    error ("recipes:stop", "trial %d fails", k);
  endif
endfunction
