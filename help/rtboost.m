%RTBOOST  Real-time priority for this process and the calling thread.
%   OLD = RTBOOST() asks the system to put the MATLAB or Octave process in
%   the real-time priority class and the thread that called it (the one
%   that runs your script) at time-critical priority, and answers the
%   priority they had before, which RTRESTORE(OLD) gives back. Call it
%   once, before the part of a script where timing matters:
%
%       old = rtboost();
%       cleanup = onCleanup(@() rtrestore(old));
%       % ... trials ...
%
%   When the function that holds CLEANUP ends, or fails, the priority
%   comes back as it was, not merely the ordinary one (in a script, CLEAR
%   CLEANUP does it). A bare RTBOOST raises just the same and sets no ans.
%
%   The raise lasts until RTRESTORE lowers it again, or the process ends.
%   Calling RTBOOST again repeats the same settings, and its OLD is then
%   the raised priority: keep the first one. Inputs are ignored. The
%   system grants what the account may have (see the platform notes);
%   RTSTATUS tells what was obtained.
%
%   Where the system grants neither the process nor the thread anything,
%   RTBOOST warns, naming what was refused and where to read how to grant
%   it. It does not warn when either was granted, nor when the session
%   was raised already. Up to version 0.4 RTBOOST, like the system calls
%   it makes, stayed silent on a refusal, which a script took for
%   success; the warning is a deliberate change. A script that expects
%   the refusal can turn the warning off:
%
%       warning('off', 'MATLAB:rtboost:notGranted');
%
%   OLD is a row of doubles a log can hold (save it, print it with
%   mat2str, read it back); its first element marks the platform and
%   the layout, and RTRESTORE refuses an OLD from another platform.
%     Windows  [1001, class, level]: the process's priority class as
%              GetPriorityClass answers it (32 normal, 64 idle, 128
%              high, 256 realtime, 16384 below normal, 32768 above
%              normal) and the thread's level (-15 to 15), such as
%              [1001 32 0].
%     Linux    [2002, policy, reset, rtprio, nice, kept]: the thread's
%              policy (0 SCHED_OTHER, 1 SCHED_FIFO, 2 SCHED_RR,
%              3 SCHED_BATCH, 5 SCHED_IDLE), 1 if it carries
%              SCHED_RESET_ON_FORK else 0, its real-time priority (0
%              outside SCHED_FIFO and SCHED_RR), its nice value, and the
%              nice values stronger than the thread's that other threads
%              had, which they keep, as the sum of 2^(20 + n) for each
%              such value n (0 for none: 1024 says a thread at -10), such
%              as [2002 0 0 0 0 0].
%
%   A thread at real-time priority that never waits can make the machine
%   unresponsive. Pace loops with WAITUNTIL, which sleeps through most of
%   each wait.
%
%   Errors (identifier, message), raised before anything is raised:
%     MATLAB:rtboost:maxlhs   'Too many output arguments.'
%                             More than one output asked for.
%     MATLAB:rtboost:failure  'The priority cannot be read.'
%                             The system does not tell the priority
%                             (OLD asked for).
%   Warning (identifier), given after the raise, which then stands as
%   the system left it:
%     MATLAB:rtboost:notGranted
%                             Neither the process nor the thread was
%                             granted a higher priority; the platform
%                             notes say what grants them. Linux: 'No
%                             higher priority was granted: this account
%                             may take neither real-time scheduling
%                             (RLIMIT_RTPRIO) nor a negative nice value
%                             (RLIMIT_NICE); help rtboost says how to
%                             grant them.'
%   In Octave a message starts with the function's name:
%   'rtboost: Too many output arguments.'
%
%   Platform notes:
%     Windows  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS),
%              unless the process has that class already, then
%              SetThreadPriority(GetCurrentThread(),
%              THREAD_PRIORITY_TIME_CRITICAL) (kernel32); OLD from
%              GetPriorityClass and GetThreadPriority. Windows quietly
%              grants the highest class the account may have: the
%              real-time class needs the privilege 'Increase scheduling
%              priority' (SeIncreaseBasePriorityPrivilege, which
%              administrators have; secpol.msc, User Rights Assignment,
%              grants it to others), and any other account gets high. A
%              process that a job object holds at its class (as some
%              managed or remote sessions do) is refused the class; the
%              warning comes only where the thread's level is refused
%              too.
%     Linux    There is no priority class for a whole process. The process
%              step gives the calling thread nice -20, and so each other
%              thread of the process that had the same nice value
%              (setpriority for each thread in /proc/self/task); threads
%              at any other value, such as a host's background helper at
%              nice 10, keep it. Another thread already at the value the
%              calling thread obtained keeps it, and those raised take the
%              next weaker one (-19), so that RTRESTORE(OLD) can tell
%              them apart. The thread step puts the calling thread alone
%              under SCHED_FIFO at priority 80, with SCHED_RESET_ON_FORK
%              (pthread_setschedparam): threads and processes it starts
%              afterwards (a worker pool, a SYSTEM command) begin in the
%              ordinary policy with nice 0 or more. 80 leaves the top
%              (99) to the kernel's own threads and is still above
%              threaded interrupt handlers (50). Both steps are best
%              effort: without CAP_SYS_NICE a thread gets the most that
%              RLIMIT_NICE and RLIMIT_RTPRIO allow, at most 80 (see
%              ulimit -e, ulimit -r and /etc/security/limits.conf; audio
%              or realtime groups often have a real-time limit), and
%              nothing where they allow nothing. No thread gets less than
%              it has: one already at a real-time priority of 80 or more
%              keeps it, and only takes SCHED_RESET_ON_FORK. OLD from
%              sched_getscheduler, sched_getparam and getpriority.
%              To let a group have real-time priority, give it limits in
%              /etc/security/limits.d/audio.conf:
%                @audio  -  rtprio  95
%                @audio  -  nice    -10
%              and log in again: members then get SCHED_FIFO 80 and
%              nice -10. chrt -p PID shows the policy, and
%              ps -L -o tid,cls,rtprio,ni -p PID each thread's.
%     macOS    [3002, nice, period, computation, constraint, preemptible,
%              class, relative]: the process's nice value, the calling
%              thread's time-constraint policy in the kernel's ticks (all 0
%              under timeshare), and its QoS class as pthread names it (33
%              user-interactive, 25 user-initiated, 21 default, 17 utility,
%              9 background, 0 none) with its relative priority (-15 to 0),
%              such as [3002 0 0 0 0 0 33 0]. rtboost puts the calling
%              thread under THREAD_TIME_CONSTRAINT_POLICY (a 1 ms period,
%              0.5 ms of computation, a 1 ms constraint, preemptible; 24000
%              ticks to the millisecond on Apple silicon, under Rosetta
%              too), which any account obtains, and asks for nice -20 for
%              the process, which only root obtains. Setting a policy takes
%              the thread's QoS class away, and macOS gives a class back
%              only to a thread of dispatch's pool: the thread that runs
%              your script stays without its class after RTRESTORE, at the
%              process's default priority.
%              The kernel's fail-safe demotes a time-constraint thread that
%              runs about 1 s without blocking to timeshare, for about 2 s;
%              RTSTATUS then answers false and 'demoted to timeshare'. A
%              loop paced with WAITUNTIL blocks in every wait and is not
%              demoted; a long computation, plot or file written in one
%              stretch may be.
%
%   See also RTRESTORE, RTSTATUS, WAITUNTIL, CLOCKREAD.

%!test
%! ## Only from the ordinary priority, which rtrestore gives back at the
%! ## end, whatever rtboost obtained: the session is never left raised.
%! [realtime, process, thread] = rtstatus ();
%! ordinary = {false, "nice 0", "other"};
%! if (ispc ())
%!   ordinary = {false, "normal", "normal"};
%! endif
%! if (isequal ({realtime, process, thread}, ordinary))
%!   unwind_protect
%!     rtboost (1, "inputs are ignored");
%!     [realtime, process, thread] = rtstatus ();
%!   unwind_protect_cleanup
%!     rtrestore ();
%!   end_unwind_protect
%!   [again{1:3}] = rtstatus ();
%!   assert (again, ordinary);
%!   ## Real time: SCHED_FIFO for the calling thread and no positive nice
%!   ## value on Linux, time critical on Windows.
%!   if (realtime && ! ispc ())
%!     assert (regexp (thread, '^fifo [0-9]+$') == 1, thread);
%!     assert (str2double (process(6:end)) <= 0, process);
%!   elseif (realtime)
%!     assert (thread, "time critical");
%!   endif
%! endif
