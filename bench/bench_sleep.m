## bench_sleep (DIR, TOOL): overshoot past n ms of sleep(n), of pause(n/1000),
## of bare_wait(n) (the floor's wait as a MEX file) and of the floor itself
## (TOOL's bare clock_nanosleep, in a process of its own), and the floor
## while a PM QoS request of 0 us is held (as sleep holds it), 300 waits of each
## for each n, in microseconds, one file per kind and n: DIR/<kind>_<n>ms.txt.
## The three in Octave take turns, and the floor runs in blocks between
## theirs, so that all of them see the same noise on a shared machine.
function bench_sleep (dir, tool)
  durations = [1 2 5 10];
  waits = 300;
  blocks = 10;
  per_block = waits / blocks;
  ## The first calls load the MEX files.
  clockread ();
  sleep (0);
  pause (0);
  bare_wait (0);
  for n = durations
    slept = zeros (waits, 1);
    paused = zeros (waits, 1);
    bare = zeros (waits, 1);
    floor_us = zeros (0, 1);
    latency_us = zeros (0, 1);
    for b = 1:blocks
      [status, text] = system (sprintf ("'%s' floor %d %d", tool, n, per_block));
      if (status != 0)
        error ("bench_sleep: %s floor failed: %s", tool, text);
      endif
      floor_us = [floor_us; str2double(strsplit (strtrim (text), "\n"))(:)];
      [status, text] = system (sprintf ("'%s' floor %d %d latency", tool, n, per_block));
      if (status != 0)
        error ("bench_sleep: %s floor with the latency request failed: %s", tool, text);
      endif
      latency_us = [latency_us; str2double(strsplit (strtrim (text), "\n"))(:)];
      for k = (b - 1) * per_block + (1:per_block)
        t0 = clockread ();
        sleep (n);
        slept(k) = clockread () - t0;
        t0 = clockread ();
        pause (n / 1000);
        paused(k) = clockread () - t0;
        t0 = clockread ();
        bare_wait (n);
        bare(k) = clockread () - t0;
      endfor
    endfor
    write_us (fullfile (dir, sprintf ("sleep_%dms.txt", n)), (slept - n / 1000) * 1e6);
    write_us (fullfile (dir, sprintf ("pause_%dms.txt", n)), (paused - n / 1000) * 1e6);
    write_us (fullfile (dir, sprintf ("bare_%dms.txt", n)), (bare - n / 1000) * 1e6);
    write_us (fullfile (dir, sprintf ("floor_%dms.txt", n)), floor_us);
    write_us (fullfile (dir, sprintf ("qos_%dms.txt", n)), latency_us);
  endfor
endfunction

function write_us (path, us)
  fid = fopen (path, "w");
  fprintf (fid, "%.3f\n", us);
  fclose (fid);
endfunction
