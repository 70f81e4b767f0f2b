%CLOCKUTC  The UTC time of an instant on clockread's timebase.
%   [T, UTC, UNCERTAINTY] = CLOCKUTC() pairs the counter that CLOCKREAD
%   reads with the system's UTC clock, so that timestamps taken with
%   CLOCKREAD line up with recordings that other machines stamp in UTC
%   (EEG amplifiers, eye trackers, other PCs):
%     T            seconds on CLOCKREAD's timebase.
%     UTC          POSIX time of the same instant: seconds since
%                  1970-01-01 00:00 UTC, leap seconds not counted.
%     UNCERTAINTY  seconds: half the width of the interval in which the
%                  pair was read, plus the UTC clock's own step where it
%                  steps coarsely.
%   It reads the counter, the UTC clock, then the counter again, and keeps
%   the tightest of up to 10 such tries (it stops at the first one tighter
%   than 1 us). T is the midpoint of that try's two counter readings.
%   Called without an output, CLOCKUTC sets ans to T.
%
%   The UTC clock may be slewed by the time service while a script runs,
%   so take a pair at the start and at the end of each block and
%   interpolate between them:
%       [t0, utc0] = clockutc();
%       % ... the block, onsets t_k from clockread ...
%       [t1, utc1] = clockutc();
%       utc_k = utc0 + (t_k - t0) * (utc1 - utc0) / (t1 - t0);
%   datetime(utc_k, 'ConvertFrom', 'posixtime') shows one in MATLAB.
%   Write them with fprintf('%.6f\n', utc_k): fewer digits lose the
%   microseconds.
%
%   Errors (identifier, message), all raised before any clock is read, in
%   this order:
%     MATLAB:clockutc:invalidNumInputs  'No input arguments permitted.'
%                                       Any input at all, even [].
%     MATLAB:clockutc:maxlhs            'Too many output arguments.'
%                                       More than three outputs asked for.
%     MATLAB:clockutc:failure           'The system clocks cannot be read.'
%                                       The counter frequency cannot be
%                                       queried.
%   In Octave a message starts with the function's name:
%   'clockutc: No input arguments permitted.'
%
%   Platform notes:
%     Windows  QueryPerformanceCounter, and GetSystemTimePreciseAsFileTime
%              (Windows 8 and later), looked up at run time in kernel32 so
%              that the file still loads on Windows 7. There
%              GetSystemTimeAsFileTime stands in, and its step (the
%              increment GetSystemTimeAdjustment reports, usually
%              15.625 ms) is added to UNCERTAINTY.
%     Linux    CLOCK_MONOTONIC, as CLOCKREAD reads it, and CLOCK_REALTIME.
%   Keeping the UTC clock in step with other machines is the system's time
%   service (chrony, linuxptp, Windows Time), not CLOCKUTC's.
%     macOS    mach_absolute_time, as CLOCKREAD reads it, and
%              CLOCK_REALTIME, which counts whole microseconds: 1 us is added
%              to UNCERTAINTY.
%
%   See also CLOCKREAD, WAITUNTIL.

%!test
%! ## t between two clockread readings, utc between two readings of
%! ## Octave's UTC clock (whole microseconds).
%! before = time ();
%! t0 = clockread ();
%! [t, utc, uncertainty] = clockutc ();
%! t1 = clockread ();
%! after = time ();
%! assert (t0 <= t && t <= t1);
%! assert (before - 1e-6 <= utc && utc <= after + 1e-6);
%! assert (isa (uncertainty, "double") && isscalar (uncertainty) && uncertainty < 0.1);
%!error id=MATLAB:clockutc:invalidNumInputs clockutc (1)
%!error id=MATLAB:clockutc:maxlhs [a, b, c, d] = clockutc ()
