%WAITUNTIL  Wait until an absolute time on clockread's timebase.
%   W = WAITUNTIL(T) returns once CLOCKREAD() would answer T or more. W is
%   the counter reading taken as it returns, in seconds on the same
%   timebase, so W >= T. A T already past returns at once with the current
%   time, and no timer is touched. Called without an output, WAITUNTIL
%   sets ans.
%
%   [W, SPIN] = WAITUNTIL(...) also returns the spin the call used, in
%   seconds.
%
%   W = WAITUNTIL(T, SPIN) busy-waits at most SPIN seconds (0 to 1): the
%   platform's timer waits until SPIN before T, then the counter is read
%   in a loop, with a CPU pause instruction between reads, until T. The
%   busy part of a call is at most SPIN, plus however early the timer
%   ended. SPIN = 0 never busy-waits; a larger SPIN trades CPU time for
%   precision: a call ends within a microsecond of T whenever the timer
%   woke within the spin, and with SPIN = 0 as late as the timer wakes
%   (tens of microseconds on Linux, up to a timer period on Windows). A
%   SPIN given is used exactly as given.
%
%   Without SPIN, WAITUNTIL learns the spin this machine needs from how
%   late the timer woke in this session's recent waits. It starts at 0.5 ms
%   on Linux and 1 ms on Windows (the default, also its most); then it is
%   the largest of these, and never less than 0.02 ms:
%     - 3 times the second largest lateness of the last 128 wake-ups, so
%       that a lone late wake-up does not move it;
%     - 3 times the last wake-up that came later than the spin then used:
%       late wake-ups come in bursts, so the next call already spins
%       longer; this raise halves every 0.6 s;
%     - the default, for a wait that ends within 10 ms of a wake-up later
%       than the default (a stall, which no spin catches, and often the
%       start of a noisy spell).
%   After a second without a timer wait it starts over, as after CLEAR
%   WAITUNTIL.
%
%   What the learned spin costs and saves, as measured (docs/benchmarks.md):
%   replayed against wake-ups recorded on a 2-core virtual machine, it
%   busy-waited 0.33 to 0.43 of the time a fixed 0.5 ms spin does (up to
%   0.9 while other builds loaded the machine) and left 1 to 5 calls in
%   12,000 later than T that the fixed spin did not (23 under the heaviest
%   load): mostly the first late wake-up of a burst, which no rule sees
%   coming. Where every trial must be on time (a block of brief
%   stimuli), pass a fixed spin: WAITUNTIL(T, 0.0005) on Linux,
%   WAITUNTIL(T, 0.001) on Windows; or check with MEXTIMECHECK which one
%   this machine needs.
%
%   Slips are warned of before the wait starts, so that Ctrl+C can end it
%   at once; each has an identifier of its own, for WARNING('off', ID):
%     MATLAB:waituntil:pastDeadline  T is more than 60 s in the past, as
%                                    WAITUNTIL(1.5) is: T is a CLOCKREAD
%                                    time; for 1.5 s from now, use
%                                    WAITUNTIL(CLOCKREAD + 1.5).
%     MATLAB:waituntil:farDeadline   T is more than 10 minutes ahead, as a
%                                    date (NOW + 1.5/86400) is.
%   A loop a few seconds behind, or a break of a few minutes, is no slip.
%   A T of 0 or less (-Inf too) cannot be a CLOCKREAD time, which counts
%   from boot: it returns at once without a warning, so that WAITUNTIL(0)
%   loads the file before a loop, as this package's own checks do.
%
%   Ctrl+C (and, in Octave, SIGTERM or SIGHUP) ends a wait the way the
%   host stops a script, within 50 ms:
%     MATLAB  WAITUNTIL raises MATLAB:waituntil:interrupted, with no
%             answer, so W >= T holds for every answer; the interrupt is
%             left pending for MATLAB.
%     Octave  WAITUNTIL returns at once (its answer NaN) with Octave's
%             flag left set, and Octave stops the script as it does for
%             its own PAUSE: TRY/CATCH does not catch it, ONCLEANUP and
%             UNWIND_PROTECT cleanup run, SIGTERM ends Octave. Signals that
%             Octave only notes (SIGCHLD from a child that ended) do not
%             end the wait.
%   Where neither MATLAB's nor Octave's flag is found (in another host),
%   the wait goes on to T. For a wait relative to now, in seconds, use
%   DELAY.
%
%   Pace trials to absolute deadlines, so that late trials do not add up,
%   and take the onset after the call, when the script goes on:
%     t0 = clockread();
%     for k = 1:100
%       waituntil(t0 + k * 0.010);
%       onset = clockread();
%       % ... the trial ...
%     end
%
%   Errors (identifier, message), all raised before anything is waited, in
%   this order:
%     MATLAB:waituntil:invalidNumInputs  'One or two inputs required.'
%                                        No input, or more than two.
%     MATLAB:waituntil:maxlhs            'Too many output arguments.'
%                                        More than two outputs asked for.
%     MATLAB:waituntil:invalidDeadline   'Deadline must be a real double scalar.'
%                                        T is char, logical, integer,
%                                        single, complex, sparse, empty or
%                                        not a scalar.
%     MATLAB:waituntil:invalidDeadline   'Deadline must not be NaN.'
%                                        T is NaN.
%     MATLAB:waituntil:failure           'The counter cannot be read.'
%                                        The counter's rate cannot be
%                                        queried (as for clockread's
%                                        MATLAB:tsec:failure).
%     MATLAB:waituntil:invalidDeadline   'Deadline must be a clockread time less than 4294967 seconds away.'
%                                        T is Inf, or 4294967 s or more
%                                        after now (a POSIX time, say).
%     MATLAB:waituntil:invalidSpin       'Spin must be a number of seconds from 0 to 1.'
%                                        SPIN is not a real double scalar
%                                        from 0 to 1 (NaN included).
%   While waiting:
%     MATLAB:waituntil:interrupted       'Interrupted before the deadline.'
%                                        Ctrl+C was pressed (MATLAB).
%   In Octave a message starts with the function's name ('waituntil: ').
%
%   Platform notes:
%     Windows  A high-resolution waitable timer (CreateWaitableTimerExW with
%              CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, Windows 10 1803 and
%              later), with a relative due time in 100 ns units, created,
%              waited on and closed within the call. Where the flag is
%              refused (older Windows), sleep's own bracket: the
%              timer-throttling opt-out, timeBeginPeriod(1), Sleep of the
%              whole milliseconds rounded up, timeEndPeriod(1). The
%              counter is QueryPerformanceCounter. Ctrl+C is read from
%              MATLAB's libut (utIsInterruptPending) or Octave's
%              octave_interrupt_state and octave_signal_caught, looked up
%              in the running process.
%     Linux    clock_nanosleep on CLOCK_MONOTONIC to an absolute deadline,
%              with 1 ns of timer slack for the timer wait, and, where
%              /dev/cpu_dma_latency can be opened, a PM QoS request of 0 us
%              for its last 100 ms only: that request keeps every CPU out
%              of its idle states, so a long wait does not hold it. Signals
%              do not cut the wait short; the host is read as on Windows.
%     macOS    mach_wait_until to an absolute deadline on the counter, in
%              50 ms slices, with the thread's latency QoS at tier 0 for the
%              timer wait and its own tier given back afterwards; the host's
%              flags are found with dlsym in the running process.
%
%   See also DELAY, CLOCKREAD, SLEEP, RTBOOST.

%!test
%! ## Never before the deadline; a past deadline answers the time at once;
%! ## a spin given is the spin used.
%! t = clockread () + 0.020;
%! w = waituntil (t);
%! assert (w >= t && clockread () >= w);
%! before = clockread ();
%! w = waituntil (before - 1);
%! assert (before <= w && w <= clockread ());
%! t = clockread () + 0.005;
%! [w, spin] = waituntil (t, 0.001);
%! assert (w >= t);
%! assert (spin, 0.001);
%!error id=MATLAB:waituntil:invalidNumInputs waituntil ()
%!error id=MATLAB:waituntil:maxlhs [a, b, c] = waituntil (0)
%!error id=MATLAB:waituntil:invalidDeadline waituntil (NaN)
%!error id=MATLAB:waituntil:invalidDeadline waituntil (Inf)
%!error id=MATLAB:waituntil:invalidSpin waituntil (0, 2)
