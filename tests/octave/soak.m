## soak (): a long run in this one process: 1,000,000 clockread calls, each
## no smaller than the one before, and 10,000 sleep (0) calls. The resident memory may grow by less
## than 1 MB over the run: any allocation lost on every call would show.
function soak ()
  CLOCK_CALLS = 1e6;
  SLEEP_CALLS = 1e4;
  GROWTH_LIMIT_KB = 1024;

  ## The same runs, short, first, and a first reading: the files are loaded
  ## and the interpreter has reached its working size before the measure.
  clock_run (1000);
  sleep_run (1000);
  resident_kb ();
  before_kb = resident_kb ();

  backwards = clock_run (CLOCK_CALLS);
  sleep_run (SLEEP_CALLS);

  after_kb = resident_kb ();
  printf ("soak: %d clockread and %d sleep(0) calls; VmRSS %d kB -> %d kB, grew %d kB\n",
          CLOCK_CALLS, SLEEP_CALLS, before_kb, after_kb, after_kb - before_kb);
  if (backwards > 0)
    error ("soak:backwards", "%d clockread answers were smaller than the one before", backwards);
  endif
  if (after_kb - before_kb >= GROWTH_LIMIT_KB)
    error ("soak:growth", "resident memory grew by %d kB", after_kb - before_kb);
  endif
endfunction

function kb = resident_kb ()
  status = fileread ("/proc/self/status");
  kb = str2double (regexp (status, 'VmRSS:\s*(\d+)', "tokens", "once"){1});
endfunction

## N clockread calls; how many answers were smaller than the one before.
function backwards = clock_run (n)
  backwards = 0;
  last = clockread ();
  for k = 1:n
    t = clockread ();
    if (t < last)
      backwards++;
    endif
    last = t;
  endfor
endfunction

function sleep_run (n)
  for k = 1:n
    sleep (0);
  endfor
endfunction
