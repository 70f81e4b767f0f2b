## waituntil in GNU Octave, against dist/octave/waituntil.mex (delay's
## tests, and waituntil's with the default spin, ship in their help files).

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
