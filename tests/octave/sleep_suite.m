## sleep in GNU Octave, against dist/octave/sleep.mex.

%!test
%! ## The one Octave finds is the MEX file under test: Octave has no sleep of its own.
%! assert (exist ("sleep") == 3);
%! [folder, name, ext] = fileparts (which ("sleep"));
%! assert ([name ext], "sleep.mex");
%! [~, folder] = fileparts (folder);
%! assert (folder, "octave");

%!test
%! ## The first element counts, its real part, truncated: [25 0] waits 25 ms.
%! ## A wait of over a second needs whole seconds in its deadline.
%! cases = {[25 0], 0.025; 25.9, 0.025; 25 + 1i, 0.025; 1200.7, 1.2};
%! for k = 1:rows (cases)
%!   id = tic ();
%!   sleep (cases{k, 1});
%!   assert (toc (id) >= cases{k, 2}, "case %d", k);
%! endfor

%!test
%! ## A bare call sets ans.
%! clear ans;
%! sleep (1);
%! assert (exist ("ans", "var") == 1 && ans == 0);

%!test
%! ## Each message once, after Octave's "sleep: "; the sweep checks the
%! ## identifier of every bad input.
%! cases = {"sleep ()", "MATLAB:sleep:invalidNumInputs", "One input required.";
%!          "sleep ('5')", "MATLAB:sleep:invalidInput", "Duration must be a non-empty full double array.";
%!          "sleep (NaN)", "MATLAB:sleep:invalidDuration", "Duration must not be NaN.";
%!          "sleep (4294967295)", "MATLAB:sleep:invalidDuration", "Duration must be less than 4294967295 milliseconds."};
%! for row = cases'
%!   raises (row{1}, row{2}, ["sleep: " row{3}]);
%! endfor
%! ## Refused before it waits: a 3 s wait first would show.
%! before = clockread ();
%! raises ("[a, b] = sleep (3000)", "MATLAB:sleep:maxlhs", "sleep: Too many output arguments.");
%! assert (clockread () - before < 2);
