## soak (): a long run in this one process: 1,000,000 clockread calls, each
## no smaller than the one before, and 10,000 sleep (0) calls. The resident
## memory may grow by less than 1 MB over the run: any allocation lost on
## every call would show.
function soak ()
  CLOCK_CALLS = 1e6;
  SLEEP_CALLS = 1e4;
  GROWTH_LIMIT_KB = 1024;

  ## The same run, short, first: the files are loaded and the interpreter
  ## has reached its working size before the measure.
  run (1000, 1000);
  before_kb = resident_kb ();
  backwards = run (CLOCK_CALLS, SLEEP_CALLS);
  grew_kb = resident_kb () - before_kb;
  printf ("soak: %d clockread and %d sleep(0) calls; VmRSS grew %d kB\n", CLOCK_CALLS, SLEEP_CALLS, grew_kb);
  assert (backwards == 0, "%d clockread answers were smaller than the one before", backwards);
  assert (grew_kb < GROWTH_LIMIT_KB, "resident memory grew by %d kB", grew_kb);
endfunction

function kb = resident_kb ()
  kb = str2double (regexp (fileread ("/proc/self/status"), 'VmRSS:\s*(\d+)', "tokens", "once"){1});
endfunction

## N clockread calls, then M sleep (0) calls; how many clockread answers
## were smaller than the one before.
function backwards = run (n, m)
  backwards = 0;
  last = clockread ();
  for k = 1:n
    t = clockread ();
    backwards += t < last;
    last = t;
  endfor
  for k = 1:m
    sleep (0);
  endfor
endfunction
