%RTRESTORE  Ordinary priority again for this process and the calling thread.
%   RTRESTORE undoes RTBOOST: it puts the MATLAB or Octave process back in
%   the normal priority class and the thread that called it (the one that
%   runs your script) back at normal priority. Call it when the part of a
%   script where timing matters is over, instead of keeping real-time
%   priority until the session ends.
%
%   Inputs are ignored, there is no output, and RTRESTORE raises no error:
%   whatever the system refuses is refused silently. Called without an
%   RTBOOST before it, it sets the same ordinary priority.
%
%       rtboost
%       % ... trials ...
%       rtrestore
%
%   Platform notes:
%     Windows  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS),
%              then SetThreadPriority(GetCurrentThread(),
%              THREAD_PRIORITY_NORMAL) (kernel32).
%     Linux    Every thread of the process whose nice value is below 0
%              goes back to 0 (setpriority for each thread in
%              /proc/self/task), which needs no privilege; a positive
%              nice value is left as it is. Then the calling thread goes
%              back to SCHED_OTHER (pthread_setschedparam). A thread
%              without CAP_SYS_NICE keeps the SCHED_RESET_ON_FORK flag
%              that RTBOOST gave it, since only a privileged thread may
%              drop it; under SCHED_OTHER at nice 0 it changes nothing.
%
%   See also RTBOOST, RTSTATUS.

%!test
%! ## Without rtboost before it, the ordinary policy (or normal class); a
%! ## nice value above 0 is left as it is.
%! [~, before] = rtstatus ();
%! rtrestore (1, "inputs are ignored");
%! [realtime, process, thread] = rtstatus ();
%! assert (realtime, false);
%! if (ispc ())
%!   assert ({process, thread}, {"normal", "normal"});
%! else
%!   assert (thread, "other");
%!   nice = @(text) str2double (text(6:end));
%!   assert (nice (process), max (0, nice (before)));
%! endif
