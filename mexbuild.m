function mexbuild(outdir)
%MEXBUILD  Build the mextime functions with this host's mex command.
%   MEXBUILD(OUTDIR) compiles the functions from the sources beside
%   this file into OUTDIR, for the MATLAB or GNU Octave that runs it, and
%   copies their help files, MEXTIMECHECK with its private folder and the
%   overview (HELP MEXTIME) there. Then addpath(OUTDIR) to use them.
%
%   MATLAB needs a supported C++ compiler (mex -setup C++). Octave's mex
%   runs mkoctfile (on Debian and Ubuntu, package liboctave-dev).
%
%   See also CLOCKREAD, CLOCKUTC, SLEEP, WAITUNTIL, DELAY, RTBOOST, RTRESTORE,
%   RTSTATUS.

if nargin ~= 1
    error('mexbuild:invalidNumInputs', 'Usage: mexbuild(outdir)');
end
root = fileparts(mfilename('fullpath'));
% Each function: its folder, and the platform operations it is built with
% (<folder>/<part>_<system>.cpp, else <folder>/<part>_posix.cpp on POSIX
% systems, else <folder>/<part>.cpp); clock/counter is the counter every
% timing function reads.
% The POSIX waits sleep on the counter's clock; Windows has its own timers.
if ispc
    monotonic = {};
else
    monotonic = {'sleep/monotonic'};
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
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
if ispc
    platforms = {'_win32', ''};
elseif ismac
    platforms = {'_darwin', '_posix', ''};
else
    platforms = {'_linux', '_posix', ''};
end

if ~exist(outdir, 'dir')
    mkdir(outdir);
end
for k = 1:size(functions, 1)
    name = functions{k, 1};
    folder = fullfile(root, functions{k, 2});
    args = {['-I' fullfile(root, 'gateway')], ['-I' fullfile(root, 'clock')], ['-I' folder]};
    if ispc, args{end + 1} = '-D_WIN32_WINNT=0x0601'; end   % Windows 7's API, as CMake builds
    if in_octave
        % Octave binds its own API names, and its MEX files end in .mex.
        args = [args, {'-DMEXTIME_HOST_OCTAVE', '-o', fullfile(outdir, [name '.mex'])}];
    else
        % The gateway binds the 32-bit-dimension names (mxCreateDoubleMatrix_700),
        % the same whichever mex.h the compiler finds first.
        args = [args, {'-compatibleArrayDims', '-outdir', outdir}];
    end
    if ispc && any(strcmp(name, {'sleep', 'waituntil', 'delay'}))
        args{end + 1} = '-lwinmm';   % timeBeginPeriod, timeEndPeriod
    end
    sources = {fullfile(folder, [name '.cpp'])};
    parts = functions{k, 3};
    for p = 1:numel(parts)
        for q = 1:numel(platforms)
            source = fullfile(root, [parts{p} platforms{q} '.cpp']);
            if exist(source, 'file')
                break;
            end
        end
        sources{end + 1} = source; %#ok<AGROW>
    end
    fprintf('mexbuild: %s\n', name);
    mex(args{:}, sources{:});
    copyfile(fullfile(root, 'help', [name '.m']), outdir);
end
% The self-check and the overview (help mextime), with the version that
% CMakeLists.txt sets and its release date from CHANGELOG.md.
project = fileread(fullfile(root, 'CMakeLists.txt'));
release = regexp(project, 'project\(mextime VERSION ([0-9.]+)', 'tokens', 'once');
changes = fileread(fullfile(root, 'CHANGELOG.md'));
day = regexp(changes, ['## ' strrep(release{1}, '.', '\.') ' - ([0-9-]+)'], 'tokens', 'once');
day = datestr(datenum(day{1}, 'yyyy-mm-dd'), 'dd-mmm-yyyy');
copy_versioned(fullfile(root, 'selfcheck', 'mextimecheck.m'), fullfile(outdir, 'mextimecheck.m'), ...
    release{1}, day);
% Its checks, timing, verdicts and report, which only it calls.
if ~exist(fullfile(outdir, 'private'), 'dir')
    mkdir(fullfile(outdir, 'private'));
end
copyfile(fullfile(root, 'selfcheck', 'private', '*.m'), fullfile(outdir, 'private'));
for name = {'Contents.m', 'mextime.m'}
    copy_versioned(fullfile(root, 'help', 'Contents.m.in'), fullfile(outdir, name{1}), release{1}, day);
end
end

function copy_versioned(from, to, release, day)
text = strrep(strrep(fileread(from), '@PROJECT_VERSION@', release), '@MEXTIME_RELEASE_DATE@', day);
fid = fopen(to, 'w');
fprintf(fid, '%s', text);
fclose(fid);
end
