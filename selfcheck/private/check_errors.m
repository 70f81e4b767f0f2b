function [failures, checks] = check_errors(found)
% One call per function and per kind of check: the identifier and the
% message. CHECKS counts the calls made and those that failed: in MATLAB
% each error crosses the MEX file's frames as an exception. Bad values that a missing check would turn into a very long
% wait (Inf, huge deadlines) are left to the test suites: here every call
% must end at once.
rows = {
    'clockread', 'clockread(1);', 'MATLAB:tsec:invalidNumInputs', 'No input required.'
    'clockread', '[a, b] = clockread();', 'MATLAB:tsec:maxlhs', 'Too many output arguments.'
    'clockutc', 'clockutc(1);', 'MATLAB:clockutc:invalidNumInputs', 'No input arguments permitted.'
    'clockutc', '[a, b, c, d] = clockutc();', 'MATLAB:clockutc:maxlhs', 'Too many output arguments.'
    'sleep', 'sleep();', 'MATLAB:sleep:invalidNumInputs', 'One input required.'
    'sleep', 'sleep(int32(5));', 'MATLAB:sleep:invalidInput', 'Duration must be a non-empty full double array.'
    'sleep', 'sleep(NaN);', 'MATLAB:sleep:invalidDuration', 'Duration must not be NaN.'
    'sleep', '[a, b] = sleep(0);', 'MATLAB:sleep:maxlhs', 'Too many output arguments.'
    'waituntil', 'waituntil();', 'MATLAB:waituntil:invalidNumInputs', 'One or two inputs required.'
    'waituntil', '[a, b, c] = waituntil(0);', 'MATLAB:waituntil:maxlhs', 'Too many output arguments.'
    'waituntil', 'waituntil([0 0]);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must be a real double scalar.'
    'waituntil', 'waituntil(NaN);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must not be NaN.'
    'waituntil', 'waituntil(0, 2);', 'MATLAB:waituntil:invalidSpin', 'Spin must be a number of seconds from 0 to 1.'
    'delay', 'delay();', 'MATLAB:delay:invalidNumInputs', 'One or two inputs required.'
    'delay', '[a, b, c] = delay(0);', 'MATLAB:delay:maxlhs', 'Too many output arguments.'
    'delay', 'delay([0 0]);', 'MATLAB:delay:invalidDuration', 'Duration must be a real double scalar.'
    'delay', 'delay(NaN);', 'MATLAB:delay:invalidDuration', 'Duration must not be NaN.'
    'delay', 'delay(0, 2);', 'MATLAB:delay:invalidSpin', 'Spin must be a number of seconds from 0 to 1.'
    'rtstatus', 'rtstatus(1);', 'MATLAB:rtstatus:invalidNumInputs', 'No input required.'
    'rtstatus', '[a, b, c, d, e] = rtstatus();', 'MATLAB:rtstatus:maxlhs', 'Too many output arguments.'
    };
failures = {};
checks = struct('run', 0, 'failed', 0);
for k = 1:size(rows, 1)
    [name, call, id, message] = rows{k, :};
    if ~found.(name)
        continue;
    end
    checks.run = checks.run + 1;
    got = '';
    try
        eval(call);
    catch err
        got = err;
    end
    if isempty(got)
        failures{end + 1} = sprintf('%s: %s raised no error, expected %s', name, call, id); %#ok<AGROW>
    elseif ~strcmp(got.identifier, id)
        failures{end + 1} = sprintf('%s: %s raised ''%s'', expected %s', name, call, got.identifier, id); %#ok<AGROW>
    elseif isempty(strfind(got.message, message))
        failures{end + 1} = sprintf('%s: %s said ''%s'', expected ''%s''', name, call, got.message, message); %#ok<AGROW>
    end
end
checks.failed = numel(failures);
end
