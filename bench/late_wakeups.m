## late = late_wakeups (N): the 1 kHz loop of waituntil (t0 + k ms, 0) that
## the recorders share: each step's lateness in seconds, NaN where its
## deadline was past already and no wait was made.
function late = late_wakeups (n)
  late = NaN (n, 1);
  t0 = clockread () + 0.01;
  for k = 1:n
    t = t0 + (k - 1) * 0.001;
    if (clockread () < t)
      late(k) = waituntil (t, 0) - t;
    endif
  endfor
endfunction
