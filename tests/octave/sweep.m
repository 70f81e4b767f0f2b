## sweep (TABLE, NAME): calls NAME with every input of TABLE
## (tests/sweep/cases.txt) and nargout 0, 1 and 2. Each call must end in the
## outcome the table gives; the process must live through all of them.
## Prints the number of calls; raises an error listing every mismatch.
function sweep (table, name)
  rows = regexp (fileread (table), '^[^#\n][^\n]*\|[^\n]*$', "match", "lineanchors");
  column = find (strcmp (strtrim (strsplit (rows{1}, "|")), name), 1);
  assert (! isempty (column), "the sweep table has no column for %s", name);
  fn = str2func (name);
  last_time = 0;
  failures = {};
  for row = rows(2:end)
    fields = strtrim (strsplit (row{1}, "|"));
    outcomes = strsplit (fields{column});
    args = eval (["{" fields{1} "}"]);
    for n = 0:2
      [why, last_time] = one_call (fn, args, n, outcomes{min(n + 1, end)}, last_time);
      if (! isempty (why))
        failures{end + 1} = sprintf ("%s(%s) with nargout %d: %s", name, fields{1}, n, why);
      endif
    endfor
  endfor
  printf ("sweep %s: %d calls in Octave\n", name, 3 * (numel (rows) - 1));
  if (! isempty (failures))
    error ("sweep:mismatch", "%s\n", failures{:});
  endif
endfunction

## Why the call did not end as EXPECTED; empty when it did.
function [why, last_time] = one_call (fn, args, n, expected, last_time)
  why = "";
  out = cell (1, n);
  try
    if (n > 0)
      [out{:}] = fn (args{:});
    else
      fn (args{:});
      if (exist ("ans", "var"))
        out = {ans};
      endif
    endif
  catch err
    raised_log (err.identifier);
    if (! strcmp (err.identifier, expected))
      why = sprintf ("error '%s' (%s), expected %s", err.identifier, err.message, expected);
    endif
    return;
  end_try_catch
  o = [out, {[]}]{1};
  is_scalar = @(cls) isa (o, cls) && isreal (o) && isscalar (o) && ! issparse (o);
  ## Each outcome of the table's head: whether the answers are of it.
  switch (expected)
    case "none"
      ok = isempty (out);
    case "status"
      ok = is_scalar ("logical") && all (cellfun (@(x) ischar (x) && rows (x) == 1 && columns (x) > 0, out(2:end)));
    case "saved"
      ok = isa (o, "double") && isreal (o) && ! issparse (o) && rows (o) == 1 && columns (o) >= 2;
    case "zero"
      ok = is_scalar ("double") && o == 0;
    case "time"
      ok = is_scalar ("double") && isfinite (o) && o > 0 && o >= last_time;
      last_time = o;
    otherwise
      why = ["no error, expected " expected];
      return;
  endswitch
  if (! ok)
    why = sprintf ("not %s: %s", expected, strtrim (disp (out)));
  endif
endfunction
