## waituntil in GNU Octave, against dist/octave/waituntil.mex, and the
## warnings of waituntil and delay (delay's other tests, and waituntil's
## with the default spin, ship in their help files).

%!test
%! ## Never before t, with the default spin, none, and all of it; the answer
%! ## is a reading on clockread's timebase taken as it returns.
%! for spin = {{}, {0}, {1}}
%!   t = clockread () + 0.005;
%!   w = waituntil (t, spin{1}{:});
%!   after = clockread ();
%!   assert (isa (w, "double") && isreal (w) && isscalar (w));
%!   assert (w >= t && after >= t && w <= after);
%! endfor

%!test
%! ## A deadline more than a minute past is printed as a warning of its own,
%! ## which warning ("off", ID) silences; the call answers all the same. A
%! ## few seconds behind, or 0 as a warm-up, is no slip. (clockread counts
%! ## from boot: a machine up for less than a minute has no such past.)
%! id = "MATLAB:waituntil:pastDeadline";
%! t = clockread () - 61;
%! if (t > 0)
%!   lastwarn ("");
%!   printed = evalc ("w = waituntil (t);");
%!   [~, warned] = lastwarn ();
%!   assert (warned, id);
%!   assert (strfind (printed, "T is a clockread time; for "));
%!   assert (w >= t);
%!   state = warning ("off", id);
%!   unwind_protect
%!     assert (evalc ("waituntil (t);"), "");
%!   unwind_protect_cleanup
%!     warning (state);
%!   end_unwind_protect
%! endif
%! assert (evalc ("waituntil (clockread () - 5); waituntil (0); waituntil (-Inf);"), "");

%!test
%! ## Too far ahead: warned before the wait starts, so that a warning made an
%! ## error ends the call at once, where the wait would take 10 minutes (the
%! ## stand-in suite waits them on a virtual counter, and five minutes too).
%! ids = {"MATLAB:waituntil:farDeadline", "MATLAB:delay:longDelay"};
%! state = warning ();
%! unwind_protect
%!   warning ("error", ids{1});
%!   warning ("error", ids{2});
%!   started = clockread ();
%!   fail ("waituntil (clockread () + 601)", "T is a clockread time in seconds, not a date");
%!   fail ("delay (1500)", "for 1500 ms, use delay\\(1.5\\)");
%!   assert (clockread () - started < 60);
%! unwind_protect_cleanup
%!   warning (state);
%! end_unwind_protect
