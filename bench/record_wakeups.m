## record_wakeups (FILE, N, BOOST, NOTE): records how late the timer of waituntil
## wakes, in a 1 kHz loop of N steps of waituntil (t0 + k ms, 0): with no
## spin, the answer w - t is how late the timer woke and was closed. After
## rtboost () when BOOST is true.
##
## FILE gets one line per 1 ms slot since t0, in whole microseconds: the
## lateness of the wake-up whose deadline opened the slot, or "-" where no
## wait was made, the deadline being past already (a wake-up before it ran
## over the slot). The header lines, starting with "#", say how and where
## the trace was made, NOTE (if given) among them.
function record_wakeups (file, n, boost, note)
  clockread ();
  waituntil (0, 0);
  if (boost)
    rtboost ();
  endif
  [~, process, thread] = rtstatus ();
  steal = stolen_ms ();
  late = late_wakeups (n);
  steal = stolen_ms () - steal;
  [~, load] = system ("cut -d ' ' -f 1-3 /proc/loadavg");
  [~, kernel] = system ("uname -r");
  fid = fopen (file, "w");
  fprintf (fid, "# waituntil(t0 + k ms, 0) in a 1 kHz Octave loop: us late per 1 ms slot, - where no wait was made\n");
  fprintf (fid, "# recorded %s UTC, Linux %s, %s, priority %s, %s, load %s\n", ...
           datestr (now, "yyyy-mm-dd HH:MM"), strtrim (kernel), version (), process, thread, strtrim (load));
  fprintf (fid, "# steal %d ms of every CPU together during the loop\n", steal);
  if (nargin > 3)
    fprintf (fid, "# %s\n", note);
  endif
  for k = 1:n
    if (isnan (late(k)))
      fprintf (fid, "-\n");
    else
      fprintf (fid, "%d\n", round (late(k) * 1e6));
    endif
  endfor
  fclose (fid);
endfunction

## The time the hypervisor ran something else on this machine's CPUs, from
## the steal column of /proc/stat (in USER_HZ ticks of 10 ms).
function ms = stolen_ms ()
  fid = fopen ("/proc/stat");
  fields = strsplit (fgetl (fid));
  fclose (fid);
  ms = 10 * str2double (fields{9});
endfunction
