%RTRESTORE  Give back the priority RTBOOST changed.
%   RTRESTORE(OLD) gives the MATLAB or Octave process and the thread that
%   called it (the one that runs your script) back the priority they had
%   when OLD = RTBOOST() was called: an already raised or lowered priority
%   comes back as it was, not as the ordinary one.
%
%       old = rtboost();
%       cleanup = onCleanup(@() rtrestore(old));
%       % ... trials ...
%
%   RTRESTORE() with no input puts both back at the ordinary priority
%   instead: the normal priority class and normal thread priority. Called
%   without an RTBOOST before it, it sets the same ordinary priority.
%
%   OLD must be what RTBOOST answered on this platform (see RTBOOST for
%   its layout), a real double array of its numbers, such as read back
%   from a log; the shape does not matter. RTRESTORE checks every number
%   before it changes anything. There is no output. Whatever the system
%   refuses is refused silently: giving back what RTBOOST changed needs
%   no privilege, but restoring a priority above the present one does.
%
%   On Linux RTRESTORE also takes an OLD of the layout before (first
%   element 2001, as RTBOOST answered up to version 0.4), so that a log
%   or a cleanup written with it still gives the priority back: as
%   exactly as that layout can tell, since it holds a single nice value
%   for all the other threads (see the platform notes).
%
%   Errors (identifier, message), all raised before anything changes, in
%   this order:
%     MATLAB:rtrestore:invalidNumInputs  'At most one input allowed.'
%                                        Two inputs or more.
%     MATLAB:rtrestore:maxlhs            'Too many output arguments.'
%                                        Any output asked for.
%     MATLAB:rtrestore:invalidInput
%        'Input must be a priority that rtboost answered on this platform.'
%                                        OLD is not a real full double
%                                        array, has the wrong number of
%                                        elements or the wrong marker
%                                        (such as one from another
%                                        platform), or a number out of
%                                        its range.
%   In Octave a message starts with the function's name:
%   'rtrestore: At most one input allowed.'
%
%   Platform notes:
%     Windows  SetPriorityClass(GetCurrentProcess(), class), then
%              SetThreadPriority(GetCurrentThread(), level) (kernel32),
%              with OLD's class and level, or NORMAL_PRIORITY_CLASS and
%              THREAD_PRIORITY_NORMAL without it. A class the process has
%              already is not asked for again: without the privilege,
%              Windows answers a request for the real-time class with the
%              high one.
%     Linux    With OLD: the calling thread takes its nice value back,
%              and so does every other thread that is now stronger than
%              it, save those at a stronger value that other threads had
%              before (OLD's last element): those RTBOOST raised with the
%              calling thread, and those started since by one of them
%              (setpriority for each thread in /proc/self/task). Then the
%              calling thread takes its policy, flag and real-time
%              priority back (pthread_setschedparam). With an OLD of the
%              layout before (2001), every other thread stronger than its
%              last element goes back to that value, so threads that had
%              different nice values come back at the weakest of them.
%              Without OLD: every thread whose nice value is below 0
%              goes back to 0, and the calling thread to SCHED_OTHER.
%              A nice value weaker than the one to give back (another
%              thread's, or any positive one without OLD) is the user's
%              own choice and stays. A thread without CAP_SYS_NICE keeps
%              the SCHED_RESET_ON_FORK flag that RTBOOST gave it, since
%              only a privileged thread may drop it; it changes nothing
%              for the thread itself.
%     macOS    With OLD: the process's nice value, then the calling
%              thread's policy and QoS class as they were (macOS gives a
%              class back only to a thread of dispatch's pool, not to the
%              one that runs your script once a policy was set on it). An
%              OLD of the earlier layout, [3001, nice, on, period,
%              computation, constraint, preemptible], is taken too, and
%              leaves the class as it is. Without OLD: the standard policy
%              for a thread under another (one under it already is left
%              alone, and keeps its class) and no negative nice value.
%
%   See also RTBOOST, RTSTATUS.

%!test
%! ## rtrestore (old) gives back exactly what rtboost found; rtrestore ()
%! ## the ordinary policy (or normal class), a nice value above 0 left as
%! ## it is. The session ends as it was found.
%! [r0, p0, t0] = rtstatus ();
%! old = rtboost ();
%! unwind_protect
%!   rtrestore (old);
%!   [r1, p1, t1] = rtstatus ();
%!   assert ({r1, p1, t1}, {r0, p0, t0});
%!   rtrestore ();
%!   [realtime, process, thread] = rtstatus ();
%! unwind_protect_cleanup
%!   rtrestore (old);
%! end_unwind_protect
%! assert (realtime, false);
%! if (ispc ())
%!   assert ({process, thread}, {"normal", "normal"});
%! else
%!   assert (thread, "other");
%!   nice = @(text) str2double (text(6:end));
%!   assert (nice (process), max (0, nice (p0)));
%! endif
%!error id=MATLAB:rtrestore:invalidInput rtrestore ([1 2 3])
%!error id=MATLAB:rtrestore:invalidNumInputs rtrestore (1, 2)
