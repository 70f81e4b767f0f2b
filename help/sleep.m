%SLEEP  Wait a number of milliseconds, with a 1 ms timer resolution.
%   SLEEP(MS) blocks the calling thread for MS milliseconds. For exactly
%   the wait, the system timer resolution is requested at 1 ms, so short
%   waits end on time; the request is released before SLEEP returns.
%
%   A = SLEEP(MS) returns the double 0. Called without an output, SLEEP
%   sets ans to 0.
%
%   The duration:
%     - is truncated toward zero to whole milliseconds: SLEEP(2.9) waits
%       2 ms, SLEEP(0.5) waits 0 ms;
%     - below 1, negatives and -Inf included, waits 0 ms (the resolution
%       is still requested and released);
%     - is the first element of MS: SLEEP([5 10]) waits 5 ms;
%     - of a complex MS is its real part;
%     - is at most 4294967294 ms (about 49.7 days).
%   Further inputs are ignored. SLEEP counts milliseconds, where the other
%   functions count seconds: for a wait in seconds, use DELAY (DELAY(5)
%   waits 5 s), and to pace trials, WAITUNTIL.
%
%   Ctrl+C: on Linux, SLEEP waits in slices of at most 50 ms and ends the
%   way the host stops a script, as WAITUNTIL does (MATLAB: the error
%   MATLAB:sleep:interrupted; Octave: SLEEP returns at once and Octave
%   stops the script; SIGTERM ends Octave). On Windows the wait is one
%   Sleep call and cannot be interrupted: use DELAY for waits longer than
%   about a second.
%
%   Errors (identifier, message), all raised before anything is requested
%   or waited. In Octave the message starts with 'sleep: ', as in
%   'sleep: Duration must not be NaN.'.
%     MATLAB:sleep:maxlhs            'Too many output arguments.'
%                                    Two or more outputs asked for.
%     MATLAB:sleep:invalidNumInputs  'One input required.'
%                                    No input given.
%     MATLAB:sleep:invalidInput      'Duration must be a non-empty full double array.'
%                                    MS is not a double array (char,
%                                    logical, integer, single, cell ...),
%                                    or is sparse, or is empty.
%     MATLAB:sleep:invalidDuration   'Duration must not be NaN.'
%                                    MS(1) is NaN.
%     MATLAB:sleep:invalidDuration   'Duration must be less than 4294967295 milliseconds.'
%                                    MS(1) is 4294967295 or more, Inf
%                                    included.
%   While waiting (Linux):
%     MATLAB:sleep:interrupted       'Interrupted before the deadline.'
%                                    Ctrl+C was pressed (MATLAB).
%
%   Platform notes:
%     Windows  Exactly timeBeginPeriod(1) (winmm), Sleep(ms) (kernel32),
%              then timeEndPeriod(1) (winmm). Before the request, the process
%              opts out of Windows 11's timer throttling, which otherwise
%              ignores the request while MATLAB is minimised
%              (SetProcessInformation, ProcessPowerThrottling, looked up at
%              run time: Windows 7 lacks it); the opt-out stays for the
%              process. Sleep counts from the last clock tick, so as
%              CLOCKREAD measures it a wait may end up to one tick (about
%              1 ms, 0.5 ms on some machines) early, as Windows documents.
%              WAITUNTIL re-reads the counter and is never early.
%     Linux    There is no system-wide timer resolution; the calling
%              thread's timer slack (how late a sleep may end) stands in.
%              prctl(PR_SET_TIMERSLACK, 1) sets it to 1 ns for the wait and
%              the earlier slack is restored afterwards. The wait is
%              clock_nanosleep on CLOCK_MONOTONIC to an absolute deadline,
%              taken as the call starts, so the bracket's own cost is spent
%              inside the wait; it resumes after a signal, so no signal
%              cuts it short, and it is made in slices of at most 50 ms,
%              between which the host is asked whether it must stop. The
%              last slice ends 5 us before the deadline: the slack and the
%              request below are given back there, and the counter is read
%              until the deadline, so that what they cost is not added
%              after the wake-up.
%              For a wait of 1 ms or more, a PM QoS request of 0 us is held
%              on /dev/cpu_dma_latency for the wait's last 100 ms, where
%              that file can be opened (by default root only); elsewhere it
%              is skipped.
%              To let a group hold it, add a udev rule such as
%              /etc/udev/rules.d/99-cpu-dma-latency.rules:
%                KERNEL=="cpu_dma_latency", GROUP="audio", MODE="0660"
%              then run udevadm control --reload and udevadm trigger
%              --name-match=cpu_dma_latency as root (or reboot).
%     macOS    mach_wait_until to an absolute deadline on the counter, in
%              slices of at most 50 ms between which the host is asked, at
%              latency tier 0 for the wait, the least timer coalescing macOS
%              gives a thread outside real time (a wake-up may come late by
%              an eighth of the time left, up to 1 ms): a thread with a QoS
%              class takes user-interactive for the wait and its own class
%              back; one without takes tier 0 (THREAD_LATENCY_QOS_POLICY)
%              and its own tier back, 5 us before the end, as on Linux.
%
%   See also DELAY, CLOCKREAD, WAITUNTIL, RTBOOST.

%!test
%! ## 20 ms at least (Windows' Sleep may end up to a 1 ms tick early), and
%! ## the double 0.
%! t0 = clockread ();
%! a = sleep (20);
%! elapsed = clockread () - t0;
%! assert (a, 0);
%! assert (elapsed >= 0.019);
%!error id=MATLAB:sleep:invalidNumInputs sleep ()
%!error id=MATLAB:sleep:invalidInput sleep ("5")
%!error id=MATLAB:sleep:invalidInput sleep ([])
%!error id=MATLAB:sleep:invalidDuration sleep (NaN)
%!error id=MATLAB:sleep:maxlhs [a, b] = sleep (0)
