%RTBOOST  Real-time priority for this process and the calling thread.
%   RTBOOST asks the system to put the MATLAB or Octave process in the
%   real-time priority class and the thread that called it (the one that
%   runs your script) at time-critical priority. Call it once, before the
%   part of a script where timing matters.
%
%   The raise lasts until RTRESTORE lowers it again, or the process ends.
%   Calling RTBOOST again repeats the same settings. Inputs are ignored,
%   there is no output, and RTBOOST raises no error: whatever the system
%   refuses is refused silently. RTSTATUS tells what was obtained.
%
%   A thread at real-time priority that never waits can make the machine
%   unresponsive. Pace loops with WAITUNTIL, which sleeps through most of
%   each wait.
%
%   Platform notes:
%     Windows  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS),
%              then SetThreadPriority(GetCurrentThread(),
%              THREAD_PRIORITY_TIME_CRITICAL) (kernel32). Windows quietly
%              grants the highest class the account may have (high, unless
%              it may raise scheduling priority).
%     Linux    There is no priority class for a whole process. The process
%              step gives every thread of the process nice -20
%              (setpriority for each thread in /proc/self/task); the
%              thread step puts the calling thread alone under SCHED_FIFO
%              at priority 80, with SCHED_RESET_ON_FORK
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
%              keeps it, and only takes SCHED_RESET_ON_FORK.
%              To let a group have real-time priority, give it limits in
%              /etc/security/limits.d/audio.conf:
%                @audio  -  rtprio  95
%                @audio  -  nice    -10
%              and log in again: members then get SCHED_FIFO 80 and
%              nice -10. chrt -p PID shows the policy, and
%              ps -L -o tid,cls,rtprio,ni -p PID each thread's.
%
%   See also RTSTATUS, RTRESTORE, WAITUNTIL, CLOCKREAD.
