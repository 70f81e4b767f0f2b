## sleep in GNU Octave, against dist/octave/sleep.mex.

%!test
%! ## The one Octave finds is the MEX file under test: Octave has no sleep of its own.
%! assert (exist ("sleep") == 3);
%! [folder, name, ext] = fileparts (which ("sleep"));
%! assert ([name ext], "sleep.mex");
%! [~, folder] = fileparts (folder);
%! assert (folder, "octave");

%!test
%! t0 = clockread ();
%! r = sleep (5);
%! t1 = clockread ();
%! assert (isa (r, "double") && isreal (r) && isscalar (r) && r == 0);
%! assert (t1 - t0 >= 0.005);

%!test
%! ## The first element counts, its real part, truncated: [25 0] waits 25 ms.
%! for d = {[25 0], 25.9, 25 + 1i}
%!   id = tic ();
%!   sleep (d{1});
%!   assert (toc (id) >= 0.025);
%! endfor

%!test
%! ## A bare call sets ans.
%! clear ans;
%! sleep (1);
%! assert (exist ("ans", "var") == 1 && ans == 0);

%!test
%! cases = {{}, "MATLAB:sleep:invalidNumInputs"; ...
%!          {[]}, "MATLAB:sleep:invalidInput"; ...
%!          {"5"}, "MATLAB:sleep:invalidInput"; ...
%!          {int32(5)}, "MATLAB:sleep:invalidInput"; ...
%!          {true}, "MATLAB:sleep:invalidInput"; ...
%!          {single(5)}, "MATLAB:sleep:invalidInput"; ...
%!          {sparse(5)}, "MATLAB:sleep:invalidInput"; ...
%!          {{5}}, "MATLAB:sleep:invalidInput"; ...
%!          {NaN}, "MATLAB:sleep:invalidDuration"; ...
%!          {Inf}, "MATLAB:sleep:invalidDuration"; ...
%!          {4294967295}, "MATLAB:sleep:invalidDuration"};
%! for k = 1:rows (cases)
%!   try
%!     sleep (cases{k, 1}{:});
%!     error ("no error raised for case %d", k);
%!   catch err
%!     assert (err.identifier, cases{k, 2});
%!   end_try_catch
%! endfor

%!error <One input required.> sleep ()
%!error <Duration must be a non-empty full double array.> sleep ("5")
%!error <Duration must not be NaN.> sleep (NaN)
%!error <Duration must be less than 4294967295 milliseconds.> sleep (Inf)
