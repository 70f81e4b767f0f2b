function fields = platform_fields(text)
% RTSTATUS's fourth answer, 'name=value; name=value', as a struct of texts:
% 'n/a' where the platform has no such value, 'unknown' where a read
% failed, and 'n/a' for every name when there is no answer.
NAMES = {'timer_resolution_ms', 'timer_resolution_range_ms', 'high_resolution_timer', ...
    'power_throttling', 'privileged', 'policy', 'rlimit_rtprio', 'rlimit_nice', 'timer_slack_ns', ...
    'latency_tier', 'qos_class', 'utc_resolution_ns', 'timebase', 'translated'};
fields = struct();
for k = 1:numel(NAMES)
    fields.(NAMES{k}) = 'n/a';
end
if ~ischar(text) || isempty(text)
    return;
end
pairs = regexp(text, '(\w+)=([^;]*)', 'tokens');
for k = 1:numel(pairs)
    name = pairs{k}{1};
    if isfield(fields, name)
        fields.(name) = strtrim(pairs{k}{2});
    end
end
end
