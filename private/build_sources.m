function [names, sources, libraries] = build_sources(root, platform)
% The functions mexbuild builds, with the source files and libraries of
% each, for PLATFORM: 'win32', 'linux' or 'darwin'. A function's sources
% are its entry file (<folder>/<name>.cpp), then for each platform
% operation it is built with the first that exists of <part>_<platform>.cpp,
% <part>_posix.cpp (POSIX systems only) and <part>.cpp, each a full path
% under ROOT; clock/counter is the counter every timing function reads.

% The POSIX waits sleep on the counter's clock; Windows has its own timers.
if strcmp(platform, 'win32')
    monotonic = {};
    suffixes = {'_win32', ''};
else
    monotonic = {'sleep/monotonic'};
    suffixes = {['_' platform], '_posix', ''};
end
wait = [{'sleep/resolution', 'sleep/until', 'sleep/interrupt', 'sleep/deadline'}, monotonic, {'clock/counter'}];
functions = {'clockread', 'clock', {'clock/counter'}; ...
             'clockutc', 'clock', {'clock/counter', 'clock/utc'}; ...
             'sleep', 'sleep', [{'sleep/resolution', 'sleep/wait', 'sleep/interrupt'}, monotonic, {'clock/counter'}]; ...
             'waituntil', 'sleep', wait; ...
             'delay', 'sleep', wait; ...
             'rtboost', 'priority', {'priority/raise'}; ...
             'rtrestore', 'priority', {'priority/restore'}; ...
             'rtstatus', 'priority', {'priority/status'}};
names = functions(:, 1)';
sources = cell(size(names));
libraries = cell(size(names));
for k = 1:numel(names)
    sources{k} = {fullfile(root, functions{k, 2}, [names{k} '.cpp'])};
    parts = functions{k, 3};
    for p = 1:numel(parts)
        for q = 1:numel(suffixes)
            source = fullfile(root, [parts{p} suffixes{q} '.cpp']);
            if exist(source, 'file')
                break;
            end
        end
        sources{k}{end + 1} = source; %#ok<AGROW>
    end
    % timeBeginPeriod and timeEndPeriod, which the timer's fallback uses too.
    if strcmp(platform, 'win32') && any(strcmp(names{k}, {'sleep', 'waituntil', 'delay'}))
        libraries{k} = {'-lwinmm'};
    else
        libraries{k} = {};
    end
end
end
