## clockutc in GNU Octave, against dist/octave/clockutc.mex, and against
## clocks read by other code: Python's (its help file's tests bracket it by
## Octave's time () and clockread).

%!test
%! ## The pairing holds still: over 200 pairs, utc - t spreads by less than
%! ## 5 us from p1 to p99. Three real double scalars, the uncertainty not
%! ## below 0.
%! d = zeros (1, 200);
%! for k = 1:numel (d)
%!   [t, utc, uncertainty] = clockutc ();
%!   d(k) = utc - t;
%! endfor
%! assert (cellfun (@(x) isa (x, "double") && isreal (x) && isscalar (x), {t, utc, uncertainty}));
%! assert (uncertainty >= 0);
%! p = quantile (d, [0.01 0.99]);
%! assert (p(2) - p(1) < 5e-6);

%!test
%! ## The same offset as Python's time.time () - time.monotonic ().
%! [t, utc] = clockutc ();
%! [status, out] = system ("python3 -c \"import time; print(repr(time.time() - time.monotonic()))\"");
%! assert (status, 0);
%! assert (abs ((utc - t) - str2double (out)) < 5e-4);
