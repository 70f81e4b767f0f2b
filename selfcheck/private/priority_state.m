function state = priority_state(status)
% How the check found the priority, from what rtstatus answered: 'normal',
% 'raised', 'lowered', or 'unknown' when rtstatus did not answer. A Mac
% thread that the kernel's fail-safe demoted for a while is raised still.
if isempty(status.process)
    state = 'unknown';
    return;
end
nice = regexp(status.process, '^nice (-?\d+)$', 'tokens', 'once');
raised = status.realtime || any(strcmp(status.process, {'realtime', 'high', 'above normal'})) || ...
    any(strcmp(status.thread, {'time critical', 'highest', 'above normal', 'demoted to timeshare'})) || ...
    ~isempty(regexp(status.thread, '^(fifo|rr) ', 'once')) || ...
    (~isempty(nice) && str2double(nice{1}) < 0);
normal = (strcmp(status.process, 'normal') || strcmp(status.process, 'nice 0')) && ...
    (strcmp(status.thread, 'normal') || strcmp(status.thread, 'other'));
if raised
    state = 'raised';
elseif normal
    state = 'normal';
else
    state = 'lowered';
end
end
