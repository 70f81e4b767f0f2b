%WAITUNTIL  Wait until an absolute time on clockread's timebase.
%   W = WAITUNTIL(T) returns once CLOCKREAD() would answer T or more. W is
%   the counter reading taken as it returns, in seconds on the same
%   timebase, so W >= T. A T already past returns at once with the current
%   time. Called without an output, WAITUNTIL sets ans.
%
%   [W, SPIN] = WAITUNTIL(...) also returns the spin the call used, in
%   seconds.
%
%   W = WAITUNTIL(T, SPIN) busy-waits at most SPIN seconds (0 to 1): the
%   platform's timer waits until SPIN before T, then the counter is read
%   in a loop, with a CPU pause instruction between reads, until T. The
%   busy part of a call is at most SPIN, plus however early the timer
%   ended. SPIN = 0 never busy-waits; a larger SPIN trades CPU time for
%   precision. A SPIN given is used exactly as given.
%
%   Without SPIN, WAITUNTIL learns the spin this machine needs: it starts
%   at 0.5 ms on Linux and 1 ms on Windows, then follows how late the
%   timer woke in this session's last 32 waits (1.5 times the latest of
%   them), never more than that start and never less than 0.02 ms. After a
%   second without a timer wait it starts over, as after CLEAR WAITUNTIL.
%
%   Ctrl+C ends a wait: WAITUNTIL stops within 50 ms and raises
%   MATLAB:waituntil:interrupted, with no answer, so W >= T holds for every
%   answer. (SLEEP cannot be interrupted: wait longer than about a second
%   with WAITUNTIL.)
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
%     MATLAB:waituntil:invalidDeadline   'Deadline must be less than 4294967 seconds away.'
%                                        T is Inf, or 4294967 s or more
%                                        after now.
%     MATLAB:waituntil:invalidSpin       'Spin must be a number of seconds from 0 to 1.'
%                                        SPIN is not a real double scalar
%                                        from 0 to 1 (NaN included).
%   While waiting:
%     MATLAB:waituntil:interrupted       'Interrupted before the deadline.'
%                                        Ctrl+C was pressed.
%   In Octave a message starts with the function's name ('waituntil: ').
%
%   Platform notes:
%     Windows  A high-resolution waitable timer (CreateWaitableTimerExW with
%              CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, Windows 10 1803 and
%              later), created, waited on and closed within the call. Where
%              the flag is refused, sleep's own bracket: the timer-throttling
%              opt-out, timeBeginPeriod(1), Sleep, timeEndPeriod(1). The
%              counter is QueryPerformanceCounter. Ctrl+C is read from
%              MATLAB's libut (utIsInterruptPending) or Octave's
%              octave_interrupt_state, looked up in the running process.
%     Linux    clock_nanosleep on CLOCK_MONOTONIC to an absolute deadline,
%              with 1 ns of timer slack and, where /dev/cpu_dma_latency can
%              be opened, a PM QoS request of 0 us, both held for the timer
%              wait only. Signals do not cut the wait short; Ctrl+C is read
%              as on Windows.
%
%   See also CLOCKREAD, SLEEP, RTBOOST.

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
