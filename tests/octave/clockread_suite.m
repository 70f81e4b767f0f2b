## clockread in GNU Octave, against dist/octave/clockread.mex.

%!test
%! ## The MEX file under test answers a real double scalar, nondecreasing.
%! assert (exist ("clockread") == 3);
%! t = zeros (1, 10000);
%! for k = 1:numel (t)
%!   t(k) = clockread ();
%! endfor
%! assert (isa (t(1), "double") && isreal (t(1)) && t(1) > 0);
%! assert (all (diff (t) >= 0));

%!test
%! ## A bare call sets ans.
%! clear ans;
%! clockread ();
%! assert (exist ("ans", "var") == 1 && isscalar (ans));

%!test
%! ## A wait to a deadline on the counter's own clock (sleep's) lasts at
%! ## least as long by clockread, so a slow clockread fails. tic/toc reads
%! ## the wall clock, which NTP may slew: a ratio, not a bound, for the unit.
%! t0 = clockread (); id = tic ();
%! sleep (200);
%! elapsed = toc (id); t1 = clockread ();
%! assert (t1 - t0 >= 0.2);
%! assert ((t1 - t0) / elapsed > 0.5 && (t1 - t0) / elapsed < 2);

%!test
%! ## Each message once, after Octave's "clockread: "; the sweep checks the
%! ## identifier of every bad input.
%! cases = {"clockread (1)", "MATLAB:tsec:invalidNumInputs", "No input required.";
%!          "[a, b] = clockread ()", "MATLAB:tsec:maxlhs", "Too many output arguments."};
%! for row = cases'
%!   raises (row{1}, row{2}, ["clockread: " row{3}]);
%! endfor
