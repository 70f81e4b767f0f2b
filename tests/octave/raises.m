## raises (CALL, ID): evaluating CALL in the caller raises ID.
function raises (call, id)
  err = [];
  try
    evalin ("caller", call);
  catch err
  end_try_catch
  assert (! isempty (err), "%s raised no error", call);
  assert (strcmp (err.identifier, id), "%s raised %s, not %s", call, err.identifier, id);
endfunction
