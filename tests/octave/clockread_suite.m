## clockread in GNU Octave, against dist/octave/clockread.mex. The sweep
## checks its answer and ans, the soak its order, mextimecheck its messages.

%!test
%! ## A wait to a deadline on the counter's own clock (sleep's) lasts at
%! ## least as long by clockread, so a slow clockread fails. tic/toc reads
%! ## the wall clock, which NTP may slew: a ratio, not a bound, for the unit.
%! t0 = clockread (); id = tic ();
%! sleep (200);
%! elapsed = toc (id); t1 = clockread ();
%! assert (t1 - t0 >= 0.2);
%! assert ((t1 - t0) / elapsed > 0.5 && (t1 - t0) / elapsed < 2);
