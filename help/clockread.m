%CLOCKREAD  High-resolution timestamp in seconds.
%   T = CLOCKREAD() reads the platform's high-resolution counter and
%   returns it in seconds, as a real double scalar. The origin is the
%   counter's own zero, not a calendar date and not the first call, so
%   only the difference between two readings means anything:
%
%       t0 = clockread();
%       % ... work ...
%       elapsed = clockread() - t0;    % seconds
%
%   CLOCKREAD takes no input and gives at most one output. Called without
%   an output, it sets ans.
%
%   Errors (identifier, message; in Octave the message starts with
%   'clockread: '):
%     MATLAB:tsec:failure           'QueryPerformanceFrequency failure.'
%                                   The counter frequency cannot be read.
%                                   Checked first, before the arguments.
%                                   The message is the same on every
%                                   platform, Linux included.
%     MATLAB:tsec:invalidNumInputs  'No input required.'
%                                   Any input at all, even [].
%     MATLAB:tsec:maxlhs            'Too many output arguments.'
%                                   More than one output asked for.
%   With inputs and two outputs at once, invalidNumInputs is raised.
%
%   Platform notes:
%     Windows  QueryPerformanceFrequency and QueryPerformanceCounter
%              (kernel32); T is counter / frequency.
%     Linux    CLOCK_MONOTONIC stands in for the performance counter:
%              clock_getres(CLOCK_MONOTONIC) takes the place of the
%              frequency query (failure if the clock does not exist), and
%              clock_gettime(CLOCK_MONOTONIC) gives the count in
%              nanoseconds, so T is seconds since boot, not counting
%              suspend.
%   The counter is the one C++'s std::chrono::steady_clock reads, with the
%   same zero (libstdc++ on Linux, MSVC on Windows), so programs that stamp
%   with steady_clock on the same machine compare with T directly.
%     macOS    mach_absolute_time at its whole rate, 1e9 * denom / numer
%              ticks per second from mach_timebase_info (24 MHz on Apple
%              silicon, 1 GHz on Intel): the counter of C++'s steady_clock
%              there, stopped while the Mac sleeps.
%
%   See also SLEEP, RTBOOST.

%!test
%! ## Seconds, not milliseconds: 10 ms by Octave's own clock.
%! t0 = clockread ();
%! started = tic ();
%! while (toc (started) < 0.010)
%! endwhile
%! t1 = clockread ();
%! assert (isa (t0, "double") && isreal (t0) && isscalar (t0) && t0 > 0);
%! assert (t1 - t0 >= 0.0099);
%!error id=MATLAB:tsec:invalidNumInputs clockread (1)
%!error id=MATLAB:tsec:invalidNumInputs clockread ([])
%!error id=MATLAB:tsec:maxlhs [a, b] = clockread ()
