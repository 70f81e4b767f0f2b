%DELAY  Wait a number of seconds, below a millisecond.
%   W = DELAY(S) waits S seconds from the call and returns the CLOCKREAD
%   time at which it returned: it takes the counter reading as it starts,
%   T0, and returns once CLOCKREAD() would answer T0 + S or more, so
%   W >= T0 + S. An S of 0 or less returns at once. Called without an
%   output, DELAY sets ans.
%
%   [W, SPIN] = DELAY(S) also returns the spin the call used, in seconds;
%   W = DELAY(S, SPIN) uses the SPIN given (0 to 1). DELAY waits exactly as
%   WAITUNTIL does, with the same timer, spin and Ctrl+C: see HELP
%   WAITUNTIL for what the learned spin costs and saves, and when to pass a
%   fixed one. DELAY has a learned spin of its own (CLEAR DELAY starts it
%   over).
%
%   A delay of more than 10 minutes is warned of before the wait starts,
%   so that Ctrl+C can end it at once, as MATLAB:delay:longDelay (for
%   WARNING('off', ID)): DELAY(1500) waits 25 minutes, as S is in seconds;
%   for 1500 ms, use DELAY(1.5). A break of a few minutes is no slip.
%
%   DELAY counts from the call, so the time a script spends between calls
%   adds up over a loop: pace trials with WAITUNTIL and absolute deadlines,
%   and use DELAY for a single pause ("wait 2 seconds, then go on").
%     w = delay(2);            % 2 s from now
%
%   Ctrl+C (and, in Octave, SIGTERM or SIGHUP) ends a wait the way the host
%   stops a script: in MATLAB, DELAY raises MATLAB:delay:interrupted; in
%   Octave, it returns at once and Octave stops the script as it does for
%   its own PAUSE (TRY/CATCH does not catch it, ONCLEANUP and
%   UNWIND_PROTECT cleanup run).
%
%   Errors (identifier, message), all raised before anything is waited, in
%   this order:
%     MATLAB:delay:invalidNumInputs  'One or two inputs required.'
%                                    No input, or more than two.
%     MATLAB:delay:maxlhs            'Too many output arguments.'
%                                    More than two outputs asked for.
%     MATLAB:delay:invalidDuration   'Duration must be a real double scalar.'
%                                    S is char, logical, integer, single,
%                                    complex, sparse, empty or not a scalar.
%     MATLAB:delay:invalidDuration   'Duration must not be NaN.'
%                                    S is NaN.
%     MATLAB:delay:invalidDuration   'Duration must be less than 4294967 seconds.'
%                                    S is Inf, or 4294967 or more.
%     MATLAB:delay:failure           'The counter cannot be read.'
%                                    The counter's rate cannot be queried.
%     MATLAB:delay:invalidSpin       'Spin must be a number of seconds from 0 to 1.'
%                                    SPIN is not a real double scalar
%                                    from 0 to 1 (NaN included).
%   While waiting:
%     MATLAB:delay:interrupted       'Interrupted before the deadline.'
%                                    Ctrl+C was pressed (MATLAB).
%   In Octave a message starts with the function's name ('delay: ').
%
%   Platform notes: as for WAITUNTIL.
%
%   See also WAITUNTIL, CLOCKREAD, SLEEP.

%!test
%! ## Never shorter than asked, counted from the call; none left: at once.
%! before = clockread ();
%! [w, spin] = delay (0.02, 0.001);
%! assert (w - before >= 0.02 && clockread () >= w);
%! assert (spin, 0.001);
%! before = clockread ();
%! w = delay (-1);
%! assert (before <= w && w <= clockread ());
%!error <delay: One or two inputs required.> delay ()
%!error id=MATLAB:delay:maxlhs [a, b, c] = delay (0)
%!error <delay: Duration must be a real double scalar.> delay ([1 2])
%!error <delay: Duration must not be NaN.> delay (NaN)
%!error <delay: Duration must be less than 4294967 seconds.> delay (4294967)
%!error <delay: Spin must be a number of seconds from 0 to 1.> delay (0, 2)
%!error id=MATLAB:delay:invalidDuration delay (Inf)
%!error id=MATLAB:delay:invalidSpin delay (0, NaN)
