## sweep (TABLE, NAME): calls NAME with every input of TABLE
## (tests/sweep/cases.txt) and nargout 0, 1 and 2. Each call must end in the
## outcome the table gives; the process must live through all of them.
## Prints the number of calls; raises an error listing every mismatch.
function sweep (table, name)
  [cases, outcomes] = read_cases (table, name);
  fn = str2func (name);
  calls = 0;
  last_time = 0;
  failures = {};
  for k = 1:numel (cases)
    args = eval (["{" cases{k} "}"]);
    for n = 0:2
      [why, last_time] = one_call (fn, args, n, outcomes{k}{n + 1}, last_time);
      calls++;
      if (! isempty (why))
        failures{end + 1} = sprintf ("%s(%s) with nargout %d: %s", name, cases{k}, n, why);
      endif
    endfor
  endfor
  printf ("sweep %s: %d calls in Octave\n", name, calls);
  if (! isempty (failures))
    error ("sweep:mismatch", "%s\n", failures{:});
  endif
endfunction

## The Octave column and NAME's column of every case.
function [cases, outcomes] = read_cases (table, name)
  lines = strsplit (fileread (table), "\n");
  cases = {};
  outcomes = {};
  column = 0;
  for k = 1:numel (lines)
    line = strtrim (lines{k});
    if (isempty (line) || line(1) == "#")
      continue;
    endif
    fields = strtrim (strsplit (lines{k}, "|"));
    if (column == 0)
      column = find (strcmp (fields(3:end), name), 1) + 2;
      if (isempty (column))
        error ("sweep:table", "the sweep table has no column for %s", name);
      endif
      continue;
    endif
    words = strsplit (fields{column});
    if (numel (words) == 1)
      words = repmat (words, 1, 3);
    elseif (numel (words) != 3)
      error ("sweep:table", "line %d: one outcome or three, for %s", k, name);
    endif
    cases{end + 1} = fields{1};
    outcomes{end + 1} = words;
  endfor
endfunction

## Why the call did not end as EXPECTED; empty when it did.
function [why, last_time] = one_call (fn, args, n, expected, last_time)
  why = "";
  try
    switch (n)
      case 0
        fn (args{:});
        if (exist ("ans", "var"))
          out = {ans};
        else
          out = {};
        endif
      case 1
        a = fn (args{:});
        out = {a};
      case 2
        [a, b] = fn (args{:});
        out = {a, b};
    endswitch
  catch err
    if (strncmp (expected, "MATLAB:", 7))
      if (! strcmp (err.identifier, expected))
        why = sprintf ("error '%s' (%s), expected %s", err.identifier, err.message, expected);
      endif
    elseif (strcmp (expected, "unassigned"))
      ## Octave's own error for an output left unset has no identifier.
      if (! (isempty (err.identifier) && ! isempty (strfind (err.message, "undefined"))))
        why = sprintf ("error '%s' (%s), expected Octave's unset-output error",
                       err.identifier, err.message);
      endif
    else
      why = sprintf ("error '%s': %s", err.identifier, err.message);
    endif
    return;
  end_try_catch

  if (strncmp (expected, "MATLAB:", 7) || strcmp (expected, "unassigned"))
    why = ["no error, expected " expected];
  elseif (strcmp (expected, "none"))
    if (! isempty (out))
      why = "an output was set";
    endif
  elseif (strcmp (expected, "status"))
    if (isempty (out) || ! (islogical (out{1}) && isscalar (out{1})))
      why = "the answer is not a logical scalar";
    elseif (! all (cellfun (@(o) ischar (o) && rows (o) == 1 && columns (o) > 0, out(2:end))))
      why = "a further output is not a char row";
    endif
  elseif (isempty (out) || ! (isa (out{1}, "double") && isreal (out{1})
                               && isscalar (out{1}) && ! issparse (out{1})))
    why = "the answer is not a real double scalar";
  elseif (strcmp (expected, "zero"))
    if (out{1} != 0)
      why = sprintf ("answered %g", out{1});
    endif
  elseif (strcmp (expected, "time"))
    if (! (isfinite (out{1}) && out{1} > 0 && out{1} >= last_time))
      why = sprintf ("time %.9f after %.9f", out{1}, last_time);
    endif
    last_time = out{1};
  else
    why = sprintf ("unknown outcome '%s' in the sweep table", expected);
  endif
endfunction
