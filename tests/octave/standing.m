## s = standing (): the scheduling of this Octave as the system shows it:
## chrt for the interpreter thread (the process's first), the only view of
## its reset-on-fork flag; each thread's id, nice and policy from the kernel
## (ps shows no nice for a real-time thread); and what rtstatus answers.
function s = standing ()
  pid = getpid ();
  [~, s.chrt] = system (sprintf ("chrt -p %d", pid));
  [~, text] = system (sprintf ("cd /proc/%d/task && for t in *; do echo $t $(sed 's/.*) //' $t/stat | cut -d' ' -f17,39); done", pid));
  s.threads = sscanf (text, "%d", [3 Inf])';
  assert (rows (s.threads) >= 2);
  [s.status{1:3}] = rtstatus ();
endfunction
