%RTSTATUS  What priority this process and the calling thread have now.
%   [REALTIME, PROCESS, THREAD] = RTSTATUS() reads the priority that the
%   process and the thread that called it (the one that runs your script)
%   have now, in words a log can hold. RTSTATUS tells what RTBOOST
%   obtained.
%
%   [REALTIME, PROCESS, THREAD, PLATFORM] = RTSTATUS() also reads what
%   the system grants the waits and the raise, which MEXTIMECHECK checks
%   against what mextime expects of this platform.
%
%     REALTIME  logical: true when the calling thread runs in real time.
%               Windows: the process is in the real-time priority class.
%               Linux: the thread's policy is SCHED_FIFO or SCHED_RR.
%     PROCESS   char. Windows: the priority class, one of 'realtime',
%               'high', 'above normal', 'normal', 'below normal' or
%               'idle'. Linux: the calling thread's nice value, such as
%               'nice -20' or 'nice 0'.
%     THREAD    char. Windows: the thread priority, one of
%               'time critical', 'highest', 'above normal', 'normal',
%               'below normal', 'lowest' or 'idle', or any other level
%               as its number (such as '6'). Linux: the policy, one of
%               'fifo 80' or 'rr 10' (with the real-time priority),
%               'other', 'batch' or 'idle'.
%     PLATFORM  char: 'name=value' pairs separated by '; ', the same
%               names in the same order on every platform; 'n/a' where a
%               platform has no such value, 'unknown' where it could not
%               be read. Read only when asked for.
%       timer_resolution_ms        the system timer's step now, in ms.
%                                  Windows: NtQueryTimerResolution.
%                                  Linux: clock_getres(CLOCK_MONOTONIC),
%                                  0.000001 with high-resolution timers.
%       timer_resolution_range_ms  Windows: the finest and the coarsest
%                                  step, such as '0.500000-15.625000'.
%       high_resolution_timer      Windows: 'yes' where a high-resolution
%                                  waitable timer can be made (Windows 10
%                                  1803 and later), else 'no'.
%       power_throttling           Windows: 'kept' once SLEEP has opted
%                                  out of timer throttling, 'default'
%                                  before, 'ignored' where Windows
%                                  throttles; 'unknown' before Windows 11
%                                  22H2, which does not tell.
%       privileged                 'yes' or 'no'. Windows: run as
%                                  administrator. Linux: CAP_SYS_NICE.
%       policy                     Linux: the thread's policy as the
%                                  kernel reports it, with
%                                  ' reset-on-fork' after RTBOOST.
%       rlimit_rtprio, rlimit_nice Linux: the soft limits RLIMIT_RTPRIO
%                                  and RLIMIT_NICE, or 'unlimited'.
%       timer_slack_ns             Linux: the thread's timer slack outside
%                                  a wait (0 for a real-time thread).
%       latency_tier, qos_class, timebase, translated
%                                  macOS: the latency QoS tier the thread
%                                  is granted, its QoS class, the
%                                  counter's tick ('125/3') and whether
%                                  the process runs under Rosetta.
%       utc_resolution_ns          Linux and macOS: clock_getres of the
%                                  UTC clock (CLOCK_REALTIME).
%
%   Called without an output, it sets ans to REALTIME.
%
%       rtboost
%       [realtime, process, thread] = rtstatus();
%       fprintf('priority: %s, %s\n', process, thread);
%
%   After RTBOOST, an administrator on Windows gets 'realtime' and
%   'time critical'; any other account gets 'high', as Windows quietly
%   grants the highest class it may have. On Linux root gets 'nice -20'
%   and 'fifo 80'; other users get what their resource limits allow.
%
%   Errors (identifier, message):
%     MATLAB:rtstatus:invalidNumInputs  'No input required.'
%                                       Any input at all, even [].
%     MATLAB:rtstatus:maxlhs            'Too many output arguments.'
%                                       More than four outputs asked for.
%   With inputs and five outputs at once, invalidNumInputs is raised.
%   In Octave a message starts with the function's name:
%   'rtstatus: No input required.'
%
%   Platform notes:
%     Windows  GetPriorityClass(GetCurrentProcess()) and
%              GetThreadPriority(GetCurrentThread()) (kernel32).
%              PLATFORM: NtQueryTimerResolution and the token's elevation
%              (ntdll), a high-resolution waitable timer made and closed,
%              GetProcessInformation(ProcessPowerThrottling).
%     Linux    sched_getscheduler and sched_getparam for the calling
%              thread, without the SCHED_RESET_ON_FORK flag that RTBOOST
%              sets, and getpriority for its nice value. PLATFORM:
%              clock_getres, capget, getrlimit, prctl(PR_GET_TIMERSLACK).
%     macOS    The process as 'nice N'; the calling thread as 'time
%              constraint', 'normal', or 'demoted to timeshare' while the
%              kernel's fail-safe runs a time-constraint thread as
%              timeshare (REALTIME is then false; see RTBOOST):
%              thread_policy_get tells the policy, THREAD_BASIC_INFO
%              (thread_info) the one in effect. PLATFORM: the policy in
%              effect, pthread_get_qos_class_np, the latency tier a wait
%              obtains (asked for as SLEEP asks, and given back at once),
%              clock_getres, mach_timebase_info, sysctl.proc_translated.
%
%   See also RTBOOST, RTRESTORE.

%!test
%! ## A logical and two texts; a bare call sets ans to the logical.
%! [realtime, process, thread] = rtstatus ();
%! assert (islogical (realtime) && isscalar (realtime));
%! assert (ischar (process) && ! isempty (process) && ischar (thread) && ! isempty (thread));
%! if (ispc ())
%!   assert (any (strcmp (process, {"realtime", "high", "above normal", "normal", "below normal", "idle"})), process);
%! else
%!   assert (regexp (process, '^nice -?[0-9]+$') == 1, process);
%!   assert (regexp (thread, '^(fifo [0-9]+|rr [0-9]+|other|batch|idle)$') == 1, thread);
%!   assert (realtime, ! isempty (regexp (thread, '^(fifo|rr) ', "once")));
%! endif
%! clear ans;
%! rtstatus ();
%! assert (ans, realtime);
%!error id=MATLAB:rtstatus:invalidNumInputs rtstatus (1)
%!test
%! ## The fourth answer: every name of the help, in its order, each with a value.
%! [~, ~, ~, platform] = rtstatus ();
%! names = {"timer_resolution_ms", "timer_resolution_range_ms", "high_resolution_timer", ...
%!          "power_throttling", "privileged", "policy", "rlimit_rtprio", "rlimit_nice", ...
%!          "timer_slack_ns", "latency_tier", "qos_class", "utc_resolution_ns", "timebase", "translated"};
%! assert (regexp (platform, ['^' strjoin(strcat (names, "=[^;=]+"), "; ") '$']) == 1, platform);
%! if (! ispc () && ! ismac ())
%!   assert (regexp (platform, 'timer_resolution_ms=[0-9]+\.[0-9]{6}; .*privileged=(yes|no); policy=') > 0, platform);
%! endif
%!error id=MATLAB:rtstatus:maxlhs [a, b, c, d, e] = rtstatus ()
