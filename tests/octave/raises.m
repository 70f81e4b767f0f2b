## raises (CALL, ID, MESSAGE): evaluating CALL in the caller raises ID, and
## MESSAGE as the whole message where one is given.
function raises (call, id, message)
  err = [];
  try
    evalin ("caller", call);
  catch err
  end_try_catch
  assert (! isempty (err), "%s raised no error", call);
  assert (strcmp (err.identifier, id), "%s raised %s, not %s", call, err.identifier, id);
  if (nargin > 2)
    assert (err.message, message);
  endif
endfunction
