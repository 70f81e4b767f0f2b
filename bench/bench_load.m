## bench_load (OUT, BOOST): overshoot of sleep(1) past 1 ms, in microseconds,
## 1000 waits written to OUT, after rtboost when BOOST is true. What the
## calling thread was given goes to OUT.info as "name value" lines.
function bench_load (out, boost)
  waits = 1000;
  clockread ();
  sleep (0);
  if (boost)
    rtboost ();
  endif
  [policy, rtprio, niceness] = thread_scheduling ();
  fid = fopen ([out ".info"], "w");
  fprintf (fid, "policy %d\nrtprio %d\nnice %d\n", policy, rtprio, niceness);
  fclose (fid);

  over = zeros (waits, 1);
  for k = 1:waits
    t0 = clockread ();
    sleep (1);
    over(k) = clockread () - t0 - 1e-3;
  endfor
  fid = fopen (out, "w");
  fprintf (fid, "%.3f\n", over * 1e6);
  fclose (fid);
endfunction

## The calling thread's policy (1 is SCHED_FIFO), real-time priority and
## nice value, as /proc reports them (fields 41, 40 and 19 of stat).
function [policy, rtprio, niceness] = thread_scheduling ()
  stat = fileread ("/proc/thread-self/stat");
  fields = strsplit (strtrim (stat(find (stat == ")", 1, "last") + 2:end)), " ");
  ## fields{1} is field 3 of the stat line.
  policy = str2double (fields{41 - 2});
  rtprio = str2double (fields{40 - 2});
  niceness = str2double (fields{19 - 2});
endfunction
