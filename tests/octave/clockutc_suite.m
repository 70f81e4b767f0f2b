## clockutc in GNU Octave, against dist/octave/clockutc.mex, and against
## clocks read by other code: Octave's time () and clockread, and Python's.

%!test
%! ## Three real double scalars; a bare call sets ans to t.
%! assert (exist ("clockutc") == 3);
%! [t, utc, uncertainty] = clockutc ();
%! for x = {t, utc, uncertainty}
%!   assert (isa (x{1}, "double") && isreal (x{1}) && isscalar (x{1}));
%! endfor
%! assert (uncertainty >= 0);
%! clear ans;
%! clockutc ();
%! assert (exist ("ans", "var") == 1 && isscalar (ans));

%!test
%! ## utc inside a bracket of time () calls, t inside one of clockread calls.
%! ## time () counts whole microseconds, and both are doubles near 2^31 s.
%! before = time (); t0 = clockread ();
%! [t, utc] = clockutc ();
%! t1 = clockread (); after = time ();
%! assert (t0 <= t && t <= t1);
%! assert (before - 1e-6 <= utc && utc <= after + 1e-6);

%!test
%! ## The pairing holds still: over 200 pairs, utc - t spreads by less than
%! ## 5 us from p1 to p99.
%! d = zeros (1, 200);
%! for k = 1:numel (d)
%!   [t, utc] = clockutc ();
%!   d(k) = utc - t;
%! endfor
%! p = quantile (d, [0.01 0.99]);
%! assert (p(2) - p(1) < 5e-6);

%!test
%! ## The same offset as Python's time.time () - time.monotonic ().
%! [t, utc] = clockutc ();
%! [status, out] = system ("python3 -c \"import time; print(repr(time.time() - time.monotonic()))\"");
%! assert (status, 0);
%! assert (abs ((utc - t) - str2double (out)) < 5e-4);

%!test
%! ## Each message once, after Octave's "clockutc: "; the sweep checks the
%! ## identifier of every bad input.
%! cases = {"clockutc (1)", "MATLAB:clockutc:invalidNumInputs", "No input arguments permitted.";
%!          "[a, b, c, d] = clockutc ()", "MATLAB:clockutc:maxlhs", "Too many output arguments."};
%! for row = cases'
%!   raises (row{1}, row{2}, ["clockutc: " row{3}]);
%! endfor
