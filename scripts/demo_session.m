## What a script sees of the functions in dist/octave.

printf ("clockread (): %.9f s since the counter's zero\n", clockread ());

t = zeros (1, 100000);
for k = 1:numel (t)
  t(k) = clockread ();
endfor
steps = diff (t);
printf ("smallest step between consecutive calls: %.0f ns (median %.0f ns)\n",
        min (steps(steps > 0)) * 1e9, median (steps) * 1e9);

t0 = clockread (); id = tic ();
pause (0.25);
elapsed = toc (id); t1 = clockread ();
printf ("over pause (0.25): clockread %.6f s, tic/toc %.6f s, differ by %.1f us\n",
        t1 - t0, elapsed, abs ((t1 - t0) - elapsed) * 1e6);

sleep (0);  # the first call loads the file; time the waits alone
for ms = [5, 20]
  t0 = clockread ();
  sleep (ms);
  t1 = clockread ();
  printf ("sleep (%d): %.3f ms by clockread\n", ms, (t1 - t0) * 1e3);
endfor

## rtboost raises this session for good, so it comes last. ps shows no nice
## value (-) for a real-time thread.
scheduling = sprintf ("ps -L -o tid,cls,rtprio,ni -p %d", getpid ());
printf ("threads before rtboost:\n"); system (scheduling);
rtboost ();
printf ("after rtboost:\n"); system (scheduling);
