## waituntil in GNU Octave, against dist/octave/waituntil.mex (delay's
## tests ship in its help file).

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
%! spin = "Spin must be a number of seconds from 0 to 1.";
%! cases = {"waituntil ()", "MATLAB:waituntil:invalidNumInputs", "One or two inputs required.";
%!          "waituntil (1i)", "MATLAB:waituntil:invalidDeadline", "Deadline must be a real double scalar.";
%!          "waituntil (NaN)", "MATLAB:waituntil:invalidDeadline", "Deadline must not be NaN.";
%!          "waituntil (clockread () + 4294968)", "MATLAB:waituntil:invalidDeadline", ...
%!          "Deadline must be less than 4294967 seconds away.";
%!          "waituntil (0, -1)", "MATLAB:waituntil:invalidSpin", spin};
%! for row = cases'
%!   raises (row{1}, row{2}, ["waituntil: " row{3}]);
%! endfor
%! raises ("[a, b, c] = waituntil (0)", "MATLAB:waituntil:maxlhs");
