## sleep in GNU Octave, against dist/octave/sleep.mex.

%!test
%! ## The first element counts, its real part, truncated: [25 0] waits 25 ms.
%! ## A wait of over a second needs whole seconds in its deadline.
%! cases = {[25 0], 0.025; 25.9, 0.025; 25 + 1i, 0.025; 1200.7, 1.2};
%! for k = 1:rows (cases)
%!   id = tic ();
%!   sleep (cases{k, 1});
%!   assert (toc (id) >= cases{k, 2}, "case %d", k);
%! endfor
