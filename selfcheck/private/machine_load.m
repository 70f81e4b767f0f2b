function load = machine_load()
% How busy the machine is now: the load average over 1, 5 and 15 minutes
% where the system keeps one (Linux, macOS; NaN elsewhere), and the share
% of a core that a busy loop of 0.2 s gets, on every system: near 1 where
% nothing else wants this core.
BUSY_SECONDS = 0.2;
load = struct('loadavg', [NaN, NaN, NaN], 'busy_share', NaN);
if ismac
    [status, text] = system('sysctl -n vm.loadavg');
    if status == 0
        load.loadavg = first_three(text);
    end
elseif isunix
    try
        load.loadavg = first_three(fileread('/proc/loadavg'));
    catch err %#ok<NASGU> NaN: not told
    end
end
cpu = cputime;
started = tic;
while toc(started) < BUSY_SECONDS
end
load.busy_share = (cputime - cpu) / toc(started);
end

function values = first_three(text)
% "0.52 0.41 0.30 1/177 1234" (Linux) or "{ 0.52 0.41 0.30 }" (macOS).
values = sscanf(strrep(text, '{', ''), '%f', 3)';
if numel(values) ~= 3
    values = [NaN, NaN, NaN];
end
end
