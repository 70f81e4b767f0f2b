## sweep (TABLE, NAME): calls NAME with every input of TABLE
## (tests/sweep/cases.txt) and nargout 0, 1 and 2. Each call must end in the
## outcome the table gives; the process must live through all of them.
## Prints the number of calls; raises an error listing every mismatch.
function sweep (table, name)
  rows = regexp (fileread (table), '^[^#\n][^\n]*\|[^\n]*$', "match", "lineanchors");
  header = strtrim (strsplit (rows{1}, "|"));
  column = find (strcmp (header, name), 1);
  if (isempty (column))
    error ("sweep:table", "the sweep table has no column for %s", name);
  endif
  fn = str2func (name);
  calls = 0;
  last_time = 0;
  failures = {};
  for row = rows(2:end)
    fields = strtrim (strsplit (row{1}, "|"));
    outcomes = strsplit (fields{column});
    args = eval (["{" fields{1} "}"]);
    for n = 0:2
      [why, last_time] = one_call (fn, args, n, outcomes{min(n + 1, end)}, last_time);
      calls++;
      if (! isempty (why))
        failures{end + 1} = sprintf ("%s(%s) with nargout %d: %s", name, fields{1}, n, why);
      endif
    endfor
  endfor
  printf ("sweep %s: %d calls in Octave\n", name, calls);
  if (! isempty (failures))
    error ("sweep:mismatch", "%s\n", failures{:});
  endif
endfunction

## Why the call did not end as EXPECTED; empty when it did.
function [why, last_time] = one_call (fn, args, n, expected, last_time)
  why = "";
  out = {};
  try
    switch (n)
      case 0
        fn (args{:});
        if (exist ("ans", "var"))
          out = {ans};
        endif
      case 1
        a = fn (args{:});
        out = {a};
      case 2
        [a, b] = fn (args{:});
        out = {a, b};
    endswitch
  catch err
    ## Octave's own error for an output left unset has no identifier.
    if (strcmp (expected, "unassigned") && isempty (err.identifier) && ! isempty (strfind (err.message, "undefined")))
      return;
    elseif (! strcmp (err.identifier, expected))
      why = sprintf ("error '%s' (%s), expected %s", err.identifier, err.message, expected);
    endif
    return;
  end_try_catch
  is_scalar = @(x, cls) isa (x, cls) && isreal (x) && isscalar (x) && ! issparse (x);
  if (strncmp (expected, "MATLAB:", 7) || strcmp (expected, "unassigned"))
    why = ["no error, expected " expected];
  elseif (strcmp (expected, "none") && ! isempty (out))
    why = "an output was set";
  elseif (strcmp (expected, "none"))
  elseif (strcmp (expected, "status") && (isempty (out) || ! is_scalar (out{1}, "logical")
          || ! all (cellfun (@(o) ischar (o) && rows (o) == 1 && columns (o) > 0, out(2:end)))))
    why = "the answers are not a logical scalar and char rows";
  elseif (strcmp (expected, "status"))
  elseif (strcmp (expected, "saved") && ! (isa (out{1}, "double") && isreal (out{1}) && ! issparse (out{1})
                                           && rows (out{1}) == 1 && columns (out{1}) >= 2))
    why = "the answer is not a real double row";
  elseif (strcmp (expected, "saved"))
  elseif (isempty (out) || ! is_scalar (out{1}, "double"))
    why = "the answer is not a real double scalar";
  elseif (strcmp (expected, "zero") && out{1} != 0)
    why = sprintf ("answered %g", out{1});
  elseif (strcmp (expected, "time"))
    if (! (isfinite (out{1}) && out{1} > 0 && out{1} >= last_time))
      why = sprintf ("time %.9f after %.9f", out{1}, last_time);
    endif
    last_time = out{1};
  elseif (! any (strcmp (expected, {"zero", "time"})))
    why = sprintf ("unknown outcome '%s' in the sweep table", expected);
  endif
endfunction
