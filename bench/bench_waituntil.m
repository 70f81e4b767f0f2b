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
## and, without rtboost, to DIR/octave_loop.txt as "name value" lines: 6
## rounds of a 1 kHz loop of 2,000 waituntil calls with the learned spin and
## with a fixed 0.5 ms, taking turns: its CPU share, the steps that resumed
## more than 100 us late, and the p99 of how late it resumed and of its
## answers w - t, in us.
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

## The README's 1 kHz loop, ROUNDS rounds of STEPS steps with the learned
## spin and with a fixed 0.5 ms, taking turns so that both see the same
## noise: per round, the CPU share and the steps that resumed more than
## 100 us after t; over all, the totals and the p99 of how late the script
## resumed and of the answers w - t, in us.
function loop_1khz (out)
  steps = 2000;
  rounds = 6;
  spins = {{}, {0.0005}; "learned", "fixed"};
  late = zeros (steps, rounds, 2);
  answer = zeros (steps, rounds, 2);
  share = zeros (rounds, 2);
  for r = 1:rounds
    for s = 1:2
      t0 = clockread () + 0.001;
      cpu = cputime ();
      wall = clockread ();
      for k = 1:steps
        t = t0 + (k - 1) * 0.001;
        answer(k, r, s) = waituntil (t, spins{1, s}{:}) - t;
        late(k, r, s) = clockread () - t;
      endfor
      share(r, s) = (cputime () - cpu) / (clockread () - wall);
    endfor
  endfor
  fid = fopen (out, "w");
  fprintf (fid, "octave_loop_steps %d\n", steps * rounds);
  for s = 1:2
    name = spins{2, s};
    l = sort (reshape (late(:, :, s), [], 1));
    a = sort (reshape (answer(:, :, s), [], 1));
    fprintf (fid, "octave_loop_cpu_%s %.4f\noctave_loop_late100_%s %d\n", name, mean (share(:, s)), ...
             name, sum (l > 100e-6));
    fprintf (fid, "octave_loop_p99_us_%s %.3f\noctave_loop_answer_p99_us_%s %.3f\n", ...
             name, l(ceil (0.99 * end)) * 1e6, name, a(ceil (0.99 * end)) * 1e6);
    fprintf (fid, "octave_loop_rounds_late100_%s %s\n", name, num2str (squeeze (sum (late(:, :, s) > 100e-6, 1))));
    fprintf (fid, "octave_loop_rounds_cpu_%s %s\n", name, num2str (share(:, s)', "%.3f "));
  endfor
  fclose (fid);
endfunction

function write_us (dir, name, seconds)
  fid = fopen (fullfile (dir, [name ".txt"]), "w");
  fprintf (fid, "%.3f\n", seconds * 1e6);
  fclose (fid);
endfunction
