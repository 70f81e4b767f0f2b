## waituntil in GNU Octave, against dist/octave/waituntil.mex.

%!test
%! assert (exist ("waituntil") == 3);
%! [~, name, ext] = fileparts (which ("waituntil"));
%! assert ([name ext], "waituntil.mex");

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
%! ## A bare call sets ans; a past t answers the current time.
%! clear ans;
%! before = clockread ();
%! waituntil (0);
%! assert (exist ("ans", "var") == 1 && ans >= before);

%!test
%! ## Each message once, after Octave's "waituntil: "; the sweep checks the
%! ## identifier of every bad input.
%! inputs = {"MATLAB:waituntil:invalidNumInputs", "One or two inputs required."};
%! scalar = {"MATLAB:waituntil:invalidDeadline", "Deadline must be a real double scalar."};
%! nan = {"MATLAB:waituntil:invalidDeadline", "Deadline must not be NaN."};
%! far = {"MATLAB:waituntil:invalidDeadline", "Deadline must be less than 4294967 seconds away."};
%! spin = {"MATLAB:waituntil:invalidSpin", "Spin must be a number of seconds from 0 to 1."};
%! cases = {{}, inputs; {1i}, scalar; {NaN}, nan; {clockread() + 4294968}, far; {0, -1}, spin};
%! for k = 1:rows (cases)
%!   err = [];
%!   try
%!     waituntil (cases{k, 1}{:});
%!   catch err
%!   end_try_catch
%!   assert (! isempty (err), "no error raised for case %d", k);
%!   assert (err.identifier, cases{k, 2}{1});
%!   assert (err.message, ["waituntil: " cases{k, 2}{2}]);
%! endfor
%! err = [];
%! try
%!   [a, b, c] = waituntil (0);
%! catch err
%! end_try_catch
%! assert (err.identifier, "MATLAB:waituntil:maxlhs");
