function [status, failures] = read_status(found)
% What rtstatus answers, checked; empty texts where it did not answer.
status = struct('realtime', false, 'process', '', 'thread', '', 'platform', '');
failures = {};
if ~found.rtstatus
    return;
end
try
    [rt, process, thread, platform] = rtstatus();
catch err
    failures = {sprintf('rtstatus: raised %s: %s', err.identifier, err.message)};
    return;
end
if ~(islogical(rt) && isscalar(rt)) || ~ischar(process) || isempty(process) || ...
        ~ischar(thread) || isempty(thread)
    failures = {'rtstatus: the answers are not a logical and two texts'};
    return;
end
% Every name, in the order its help gives, each with a value.
names = fieldnames(platform_fields(''))';
pattern = ['^' strjoin(strcat(names, '=[^;=]+'), '; ') '$'];
if ~ischar(platform) || isempty(regexp(platform, pattern, 'once'))
    failures = {'rtstatus: the fourth answer is not every name=value pair of its help'};
    platform = '';
end
status = struct('realtime', rt, 'process', process, 'thread', thread, 'platform', platform);
end
