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
t0 = clockread ();
w = delay (0.25);
printf ("delay (0.25): answered %.3f ms after the call began, by clockread\n", (w - t0) * 1e3);

waituntil (0);
for spin = {{}, {0.0005}, {0}}
  t = clockread () + 0.002;
  [w, used] = waituntil (t, spin{1}{:});
  resumed = clockread ();
  printf ("waituntil (now + 2 ms, spin %.3f ms%s): answered %.1f us past t, script resumed %.1f us past t\n",
          used * 1e3, ifelse (isempty (spin{1}), ", learned", ""), (w - t) * 1e6, (resumed - t) * 1e6);
endfor

## The README's trial loop: raise the priority and say what was obtained,
## pace each trial to an absolute deadline, log each onset as a clockread
## time, put the onsets in UTC with a clockutc pair at each end, give the
## priority back. ps shows no nice value (-) for a real-time thread.
scheduling = sprintf ("ps -L -o tid,cls,rtprio,ni -p %d", getpid ());
printf ("threads before rtboost:\n"); system (scheduling);
old = rtboost ();  # the priority as it was, to give back exactly
[realtime, process, thread] = rtstatus ();
printf ("after rtboost: realtime %d, process %s, thread %s\n", realtime, process, thread);
system (scheduling);
period = 0.010;
onset = late = zeros (1, 200);
[t0, utc0] = clockutc ();
planned = clockread () + 0.1 + (0:numel (onset) - 1) * period;
for k = 1:numel (onset)
  w = waituntil (planned(k));
  onset(k) = clockread ();
  late(k) = w - planned(k);
endfor
[t1, utc1] = clockutc ();
onset_utc = utc0 + (onset - t0) * (utc1 - utc0) / (t1 - t0);
printf ("200 trials 10 ms apart, onsets read after waituntil: jitter %.1f us, latest %.1f us after its time\n",
        std (diff (onset)) * 1e6, max (onset - planned) * 1e6);
printf ("waituntil itself answered at most %.1f us past t\n", max (late) * 1e6);
printf ("first onset %.6f on clockread's timebase, %s.%06d UTC\n", onset(1),
        datestr (floor (onset_utc(1)) / 86400 + datenum (1970, 1, 1), "yyyy-mm-dd HH:MM:SS"),
        floor (mod (onset_utc(1), 1) * 1e6));
rtrestore (old);
[realtime, process, thread] = rtstatus ();
printf ("after rtrestore (old): realtime %d, process %s, thread %s\n", realtime, process, thread);
system (scheduling);
