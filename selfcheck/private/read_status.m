function [status, failures] = read_status(found)
% What rtstatus answers, checked; empty texts where it did not answer.
status = struct('realtime', false, 'process', '', 'thread', '');
failures = {};
if ~found.rtstatus
    return;
end
try
    [rt, process, thread] = rtstatus();
catch err
    failures = {sprintf('rtstatus: raised %s: %s', err.identifier, err.message)};
    return;
end
if ~(islogical(rt) && isscalar(rt)) || ~ischar(process) || isempty(process) || ...
        ~ischar(thread) || isempty(thread)
    failures = {'rtstatus: the answers are not a logical and two texts'};
    return;
end
status = struct('realtime', rt, 'process', process, 'thread', thread);
end
