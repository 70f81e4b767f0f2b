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
if ispc
    platform = 'win32';
elseif ismac
    platform = 'darwin';
else
    platform = 'linux';
end
% Each function, its source files for this platform and the libraries it
% links (private/build_sources.m, which the tests run for every platform).
[names, sources, libraries] = build_sources(root, platform);
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;

if ~exist(outdir, 'dir')
    mkdir(outdir);
end
for k = 1:numel(names)
    name = names{k};
    folder = fileparts(sources{k}{1});
    args = {['-I' fullfile(root, 'gateway')], ['-I' fullfile(root, 'clock')], ['-I' folder]};
    if strcmp(platform, 'win32')
        args{end + 1} = '-D_WIN32_WINNT=0x0601';   % Windows 7's API, as CMake builds
    end
    if in_octave
        % Octave binds its own API names, and its MEX files end in .mex.
        args = [args, {'-DMEXTIME_HOST_OCTAVE', '-o', fullfile(outdir, [name '.mex'])}];
    else
        % The gateway binds the 32-bit-dimension names (mxCreateDoubleMatrix_700),
        % the same whichever mex.h the compiler finds first.
        args = [args, {'-compatibleArrayDims', '-outdir', outdir}];
    end
    args = [args, libraries{k}];
    fprintf('mexbuild: %s\n', name);
    mex(args{:}, sources{k}{:});
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
