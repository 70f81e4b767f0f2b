## bench_waituntil (DIR, CASE): waituntil in Octave, after rtboost when CASE
## is "boost" (each case in an Octave process of its own). Writes, in
## microseconds, one file each to DIR/<what>_<CASE>.txt:
##   octave_waituntil_<n>ms  overshoot past t of waituntil(now + n ms), read
##                           with clockread after the return, n = 2 and 10
##   octave_answer_<n>ms     the same waits' answers w - t
##   octave_busy_<n>ms       busy_wait(now + n ms), a pure busy-wait: it ends
##                           at t, so all of its overshoot is Octave's way out
##   trial_waituntil, trial_sleep
##                           |interval - 10 ms| of 3 runs of the README's
##                           trial loop (100 trials, onsets read after each
##                           wait), paced with waituntil and with sleep
## and, without rtboost, to DIR/octave_loop.txt as "name value" lines: a
## 1 kHz loop of 2,000 waituntil calls with the learned spin and with a
## fixed 0.5 ms, its CPU share, and the p99 of how late it returned and of
## its answers w - t, in us.
function bench_waituntil (dir, case_name)
  waits = 300;
  clockread ();
  waituntil (0);
  sleep (0);
  busy_wait (0);
  if (strcmp (case_name, "boost"))
    rtboost ();
  endif
  for n = [2 10]
    after = zeros (waits, 1);
    answer = zeros (waits, 1);
    busy = zeros (waits, 1);
    for k = 1:waits
      t = clockread () + n / 1000;
      w = waituntil (t);
      after(k) = clockread () - t;
      answer(k) = w - t;
      t = clockread () + n / 1000;
      busy_wait (t);
      busy(k) = clockread () - t;
    endfor
    write_us (dir, sprintf ("octave_waituntil_%dms_%s", n, case_name), after);
    write_us (dir, sprintf ("octave_answer_%dms_%s", n, case_name), answer);
    write_us (dir, sprintf ("octave_busy_%dms_%s", n, case_name), busy);
  endfor

  period = 0.010;
  trials = 100;
  paced = [];
  slept = [];
  for run = 1:3
    onset = zeros (1, trials);
    t0 = clockread () + period;
    for k = 1:trials
      waituntil (t0 + (k - 1) * period);
      onset(k) = clockread ();
    endfor
    paced = [paced, abs(diff (onset) - period)];
    t0 = clockread () + period;
    for k = 1:trials
      sleep ((t0 + (k - 1) * period - clockread ()) * 1000);
      onset(k) = clockread ();
    endfor
    slept = [slept, abs(diff (onset) - period)];
  endfor
  write_us (dir, ["trial_waituntil_" case_name], paced);
  write_us (dir, ["trial_sleep_" case_name], slept);
  if (strcmp (case_name, "plain"))
    loop_1khz (fullfile (dir, "octave_loop.txt"));
  endif
endfunction

function loop_1khz (out)
  steps = 2000;
  fid = fopen (out, "w");
  for spin = {{}, {0.0005}; "learned", "fixed"}
    late = zeros (steps, 1);
    answer = zeros (steps, 1);
    t0 = clockread () + 0.001;
    cpu = cputime ();
    wall = clockread ();
    for k = 1:steps
      t = t0 + (k - 1) * 0.001;
      answer(k) = waituntil (t, spin{1}{:}) - t;
      late(k) = clockread () - t;
    endfor
    share = (cputime () - cpu) / (clockread () - wall);
    late = sort (late);
    answer = sort (answer);
    fprintf (fid, "octave_loop_cpu_%s %.4f\noctave_loop_p99_us_%s %.3f\noctave_loop_answer_p99_us_%s %.3f\n", ...
             spin{2}, share, spin{2}, late(ceil (0.99 * steps)) * 1e6, spin{2}, answer(ceil (0.99 * steps)) * 1e6);
  endfor
  fclose (fid);
endfunction

function write_us (dir, name, seconds)
  fid = fopen (fullfile (dir, [name ".txt"]), "w");
  fprintf (fid, "%.3f\n", seconds * 1e6);
  fclose (fid);
endfunction
