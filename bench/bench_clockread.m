## bench_clockread (OUT): what a clockread call costs in Octave, against tic,
## a MEX file that does nothing (the host's own cost of entering any MEX
## file) and one that only returns a 1x1 answer; and the least step between
## consecutive readings. Writes "name value" lines to OUT, times in us.
function bench_clockread (out)
  calls = 20000;
  runs = 15;
  loops = {"", "nothing ();", "answer ();", "clockread ();", "t = clockread ();", "t = tic ();"};
  names = {"empty", "nothing", "answer", "clockread", "clockread_assign", "tic_assign"};

  ## Timed in CPU time, so that other work on the machine does not count;
  ## alternated run by run, so that all the loops see the same noise.
  for j = 1:numel (loops)
    loop_seconds (loops{j}, calls / 10);
  endfor
  seconds = zeros (runs, numel (loops));
  for r = 1:runs
    for j = 1:numel (loops)
      seconds(r, j) = loop_seconds (loops{j}, calls);
    endfor
  endfor
  us = median (seconds, 1) / calls * 1e6;

  fid = fopen (out, "w");
  fprintf (fid, "octave_runs %d\noctave_calls_per_run %d\n", runs, calls);
  fprintf (fid, "octave_loop_us %.4f\n", us(1));
  ## Each call's own cost: the loop's cost is taken out.
  for j = 2:numel (names)
    fprintf (fid, "octave_%s_us %.4f\n", names{j}, us(j) - us(1));
  endfor

  n = 100000;
  t = zeros (1, n);
  for k = 1:n
    t(k) = clockread ();
  endfor
  fprintf (fid, "octave_clockread_step_us %.4f\n", least_step (t) * 1e6);
  for k = 1:n
    t(k) = double (tic ());
  endfor
  fprintf (fid, "octave_tic_step_us %.4f\n", least_step (t));
  fclose (fid);
endfunction

function s = least_step (t)
  d = diff (t);
  s = min (d(d > 0));
endfunction

## CPU seconds of n turns of a loop around BODY. The whole loop is parsed
## before the clock starts, and runs as a loop written out in a function.
function s = loop_seconds (body, n)
  eval (["t0 = cputime (); for k = 1:n " body " endfor; s = cputime () - t0;"]);
endfunction
