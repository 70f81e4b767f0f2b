## clockread in GNU Octave, against dist/octave/clockread.mex.

%!test
%! t = clockread ();
%! assert (isa (t, "double") && isreal (t) && isscalar (t));
%! assert (t > 0);

%!test
%! ## The one Octave finds is the MEX file under test.
%! assert (exist ("clockread") == 3);

%!test
%! ## Nondecreasing over many calls.
%! t = zeros (1, 10000);
%! for k = 1:numel (t)
%!   t(k) = clockread ();
%! endfor
%! assert (all (diff (t) >= 0));

%!test
%! ## A bare call sets ans.
%! clear ans;
%! clockread ();
%! assert (exist ("ans", "var") == 1 && isscalar (ans));

%!test
%! ## Agrees with tic/toc over a short pause: both measure the same interval.
%! t0 = clockread (); id = tic ();
%! pause (0.2);
%! elapsed = toc (id); t1 = clockread ();
%! assert (t1 - t0 >= 0.2);
%! ## A ratio, not a tolerance: it catches a wrong unit, not a busy machine.
%! assert ((t1 - t0) / elapsed > 0.5 && (t1 - t0) / elapsed < 2);

%!error <No input required.> clockread (1)
%!error <No input required.> clockread ([])
%!error <Too many output arguments.> [a, b] = clockread ()

%!test
%! cases = {{1}, "MATLAB:tsec:invalidNumInputs"; ...
%!          {[]}, "MATLAB:tsec:invalidNumInputs"; ...
%!          {1, 2}, "MATLAB:tsec:invalidNumInputs"};
%! for k = 1:rows (cases)
%!   try
%!     clockread (cases{k, 1}{:});
%!     error ("no error raised");
%!   catch err
%!     assert (err.identifier, cases{k, 2});
%!   end_try_catch
%! endfor
%! try
%!   [a, b] = clockread ();
%!   error ("no error raised");
%! catch err
%!   assert (err.identifier, "MATLAB:tsec:maxlhs");
%! end_try_catch
%! ## Inputs take precedence over outputs.
%! try
%!   [a, b] = clockread (1);
%!   error ("no error raised");
%! catch err
%!   assert (err.identifier, "MATLAB:tsec:invalidNumInputs");
%! end_try_catch
