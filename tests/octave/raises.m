## err = raises (CALL, ID): evaluating CALL in the caller raises an error,
## ID where one is given; the error is answered. Its identifier is logged
## (raised_log) for the identifiers check.
function err = raises (call, id)
  err = [];
  try
    evalin ("caller", call);
  catch err
    raised_log (err.identifier);
  end_try_catch
  assert (! isempty (err), "%s raised no error", call);
  if (nargin > 1)
    assert (strcmp (err.identifier, id), "%s raised %s, not %s", call, err.identifier, id);
  endif
endfunction
