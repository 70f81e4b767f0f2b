%RTSTATUS  What priority this process and the calling thread have now.
%   [REALTIME, PROCESS, THREAD] = RTSTATUS() reads the priority that the
%   process and the thread that called it (the one that runs your script)
%   have now, in words a log can hold. RTBOOST is silent when the system
%   refuses it; RTSTATUS tells what it obtained.
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
%                                       More than three outputs asked for.
%   With inputs and four outputs at once, invalidNumInputs is raised.
%   In Octave a message starts with the function's name:
%   'rtstatus: No input required.'
%
%   Platform notes:
%     Windows  GetPriorityClass(GetCurrentProcess()) and
%              GetThreadPriority(GetCurrentThread()) (kernel32).
%     Linux    sched_getscheduler and sched_getparam for the calling
%              thread, without the SCHED_RESET_ON_FORK flag that RTBOOST
%              sets, and getpriority for its nice value.
%     macOS    The process as 'nice N'; the calling thread as 'time
%              constraint', 'normal', or 'demoted to timeshare' while the
%              kernel's fail-safe runs a time-constraint thread as
%              timeshare (REALTIME is then false; see RTBOOST):
%              thread_policy_get tells the policy, THREAD_BASIC_INFO
%              (thread_info) the one in effect.
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
%!error id=MATLAB:rtstatus:maxlhs [a, b, c, d] = rtstatus ()
