## bench_stalls (FILE, ROUNDS, STEPS): where late wake-ups come from, in one
## Octave process: a 1 kHz loop of STEPS waituntil (t0 + k ms, 0) steps (no
## spin, so w - t is how late the timer woke), ROUNDS rounds of each case,
## the cases taking turns so that all see the same noise:
##   per_call  as the wait runs: each call opens and closes its own PM QoS
##             request on /dev/cpu_dma_latency
##   held      the same, while this process holds a 0 us request of its own
##             for the whole round (as another process holding one would)
## Writes to FILE one line per round: the case, steps more than 100 us and
## 500 us late, p50 and p99 of w - t in us, and over the round, in ms: how
## long the thread waited runnable for a CPU (run_delay of its schedstat),
## the time the hypervisor took from all CPUs (steal), and the time the
## CPUs spent in each idle state (POLL, and the idle driver's deeper ones).
function bench_stalls (file, rounds, steps)
  clockread ();
  waituntil (0, 0);
  fid = fopen (file, "w");
  fprintf (fid, "# case late100 late500 p50_us p99_us run_delay_ms steal_ms idle_poll_ms idle_deeper_ms\n");
  for r = 1:rounds
    for c = {"per_call", "held"}
      request = -1;
      if (strcmp (c{1}, "held"))
        request = fopen ("/dev/cpu_dma_latency", "w");
        if (request < 0)
          error ("bench_stalls: /dev/cpu_dma_latency cannot be opened");
        endif
        fwrite (request, 0, "int32");
        fflush (request);
      endif
      before = counters ();
      late = late_wakeups (steps);
      used = counters () - before;
      if (request >= 0)
        fclose (request);
      endif
      late = sort (late(! isnan (late))) * 1e6;
      fprintf (fid, "%s %d %d %.1f %.1f %.2f %.0f %.1f %.1f\n", c{1}, sum (late > 100), sum (late > 500), ...
               late(ceil (0.5 * end)), late(ceil (0.99 * end)), used);
      fflush (fid);
    endfor
  endfor
  fclose (fid);
endfunction

## run_delay (ms), steal (ms), and the time in POLL and in deeper idle
## states over all CPUs (ms).
function v = counters ()
  stat = strsplit (fileread ("/proc/thread-self/schedstat"));
  run_delay = str2double (stat{2}) / 1e6;
  cpu = strsplit (fgetl_first ("/proc/stat"));
  steal = 10 * str2double (cpu{9});
  poll = 0;
  deeper = 0;
  for state = glob ("/sys/devices/system/cpu/cpu[0-9]*/cpuidle/state[0-9]*")'
    us = str2double (fileread ([state{1} "/time"]));
    if (strcmp (strtrim (fileread ([state{1} "/name"])), "POLL"))
      poll += us / 1e3;
    else
      deeper += us / 1e3;
    endif
  endfor
  v = [run_delay, steal, poll, deeper];
endfunction

function line = fgetl_first (path)
  fid = fopen (path);
  line = fgetl (fid);
  fclose (fid);
endfunction
