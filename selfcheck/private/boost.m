function [failures, warned] = boost()
% Calls rtboost with its warning heard but not shown: where it obtains
% nothing it warns MATLAB:rtboost:notGranted, which the check reports in
% its own words. WARNED is the identifier of the warning it gave, '' where
% none. The user's warning state and last warning are left as found.
NOT_GRANTED = 'MATLAB:rtboost:notGranted';
failures = {};
[last_message, last_id] = lastwarn();
lastwarn('', '');
% Octave notes no warning that is off; MATLAB notes it either way.
state = warning('query', NOT_GRANTED);
warning('on', NOT_GRANTED);
try
    evalc('rtboost();');
catch err
    failures{end + 1} = sprintf('rtboost: raised %s: %s', err.identifier, err.message);
end
warning(state.state, NOT_GRANTED);
[~, warned] = lastwarn();
lastwarn(last_message, last_id);
end
