function r = mextimecheck(varargin)
%MEXTIMECHECK  Check mextime on this machine: behaviour, timing and priority.
%   MEXTIMECHECK checks that clockread, clockutc, sleep, waituntil,
%   rtboost, rtrestore and rtstatus behave as their help says on this
%   host, then measures how precise the timing is here: for about 10
%   seconds at the priority MATLAB or Octave runs at, and where RTBOOST
%   obtains a higher priority, for about 10 seconds more with it. It
%   prints a table of figures and one line of verdict per figure: whether
%   1 ms pacing will hold on this machine, and what to change where it
%   does not.
%
%   R = MEXTIMECHECK() also returns every figure in a struct, for a lab
%   log or a bug report:
%     R.passed, R.failures  true when every behaviour check passed; one
%                           line per failed check, starting with the
%                           function's name
%     R.notes               what behaves as documented for this platform
%                           but is worth knowing (Windows' early Sleep)
%     R.host, R.host_version, R.platform (computer), R.mextime_version,
%     R.functions           where each function runs from
%     R.priority            what RTSTATUS reported before, after RTBOOST
%                           and at the end; .obtained is true when RTBOOST
%                           changed it, .restored when RTRESTORE gave it back
%     R.wakeup_latency_request  Linux: whether SLEEP and WAITUNTIL can hold
%                           their PM QoS request on /dev/cpu_dma_latency;
%                           [] elsewhere
%     R.normal, R.boosted   the figures without and with RTBOOST; R.boosted
%                           is [] where RTBOOST obtained nothing or did not
%                           run
%     R.utc_uncertainty     seconds: the median of 100 CLOCKUTC pairs
%     R.utc_drift_ppm       how fast UTC moved against the counter between
%                           the check's first and last pair
%     R.verdicts
%   Figures are in milliseconds (_ms) or microseconds (_us); NaN where a
%   figure could not be measured.
%
%   MEXTIMECHECK('plot') also draws the CDFs of how late sleep(1) and a
%   1 ms WAITUNTIL end, read after they return, in one figure.
%   MEXTIMECHECK('plot', FILE) draws it in an invisible figure and saves
%   it as a PNG file, so a run without a display can keep it.
%
%   The figures, each read with CLOCKREAD right after the call returns,
%   when the script goes on:
%     clockread   the smallest step between two calls, and the cost of
%                 one call in a loop that stores its answers;
%     sleep(1)    how late 300 waits of 1 ms end: p50, p90, p99, max;
%     waituntil   the same for 300 waits to a deadline 1 ms ahead; the
%                 spin it learned, and the CPU share of a 1 kHz loop of
%                 1,000 steps with it;
%     trials      200 trials 10 ms apart, paced with WAITUNTIL to absolute
%                 deadlines: the jitter (standard deviation of the
%                 intervals) and the worst onset error against the plan;
%                 and the worst onset of 10 trials 500 ms apart.
%
%   Priority: the priority is left as it was found. The pass with RTBOOST
%   runs only where MATLAB or Octave runs at the ordinary priority, and
%   RTRESTORE brings it back afterwards, also when the check is
%   interrupted (Ctrl+C). Where the priority was already raised, or
%   lowered, the timing is measured once, as found.
%
%   When reporting a problem, send the printed table, or R (save it with
%   save('mextimecheck.mat', 'r')).
%
%   See also CLOCKREAD, CLOCKUTC, SLEEP, WAITUNTIL, RTBOOST, RTRESTORE,
%   RTSTATUS.

% Set from CMakeLists.txt when the file is copied into a release.
MEXTIME_VERSION = '@PROJECT_VERSION@';

file = parse_options(varargin);
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
do_plot = nargin > 0;
if do_plot
    check_graphics(in_octave);
end
if ~isempty(file)
    file = check_file(file);
end

started = clock;
res = struct();
if in_octave
    res.host = 'Octave';
else
    res.host = 'MATLAB';
end
res.host_version = version;
res.platform = computer;
if strcmp(MEXTIME_VERSION(1), '@')
    res.mextime_version = 'unreleased';
else
    res.mextime_version = MEXTIME_VERSION;
end
res.date = datestr(now, 'yyyy-mm-dd HH:MM:SS');
fprintf('mextime %s self-check in %s %s on %s, %s\n', res.mextime_version, ...
    res.host, res.host_version, res.platform, res.date);

names = {'clockread', 'clockutc', 'sleep', 'waituntil', 'rtboost', 'rtrestore', 'rtstatus'};
[res.functions, found, failures] = locate(names);
failures = [failures, check_errors(found)];
[answer_failures, notes] = check_answers(found);
failures = [failures, answer_failures];
if ~found.clockread
    error('mextimecheck:noClockread', ...
        'clockread is not on the path: add the folder of the mextime MEX files first.');
end
first_pair = utc_pair(found);
res.wakeup_latency_request = wakeup_latency_request();

% The priority as found decides whether the pass with rtboost may run.
[before, status_failures] = read_status(found);
failures = [failures, status_failures];
res.priority = struct('before', before, 'boosted', [], 'after', [], ...
    'raised_before', false, 'obtained', false, 'restored', false);
state = classify(before);
res.priority.raised_before = strcmp(state, 'raised');

if strcmp(state, 'normal')
    fprintf('measuring without rtboost ...\n');
else
    fprintf('measuring at the priority found ...\n');
end
[res.normal, pass_failures, pass_notes] = measure(found);
failures = [failures, pass_failures];
notes = [notes, pass_notes];
res.boosted = [];

% Without rtrestore a normal priority could not be given back: no rtboost.
if strcmp(state, 'normal') && found.rtboost && found.rtrestore
    % Also runs if the check is interrupted from here on.
    restore = onCleanup(@() rtrestore());
    try
        rtboost();
    catch err
        failures{end + 1} = sprintf('rtboost: raised %s: %s', err.identifier, err.message);
    end
    [res.priority.boosted, status_failures] = read_status(found);
    failures = [failures, status_failures];
    res.priority.obtained = ~same_status(before, res.priority.boosted);
    if res.priority.obtained
        fprintf('measuring with rtboost ...\n');
        [res.boosted, pass_failures, pass_notes] = measure(found);
        failures = [failures, pass_failures];
        notes = [notes, pass_notes];
    end
    clear('restore');
    res.priority.restored = true;
end

[res.priority.after, status_failures] = read_status(found);
failures = [failures, status_failures];
if res.priority.restored && ~isempty(before.process) && ~same_status(before, res.priority.after)
    failures{end + 1} = sprintf('rtrestore: left %s, %s; the check found %s, %s', ...
        res.priority.after.process, res.priority.after.thread, before.process, before.thread);
end

[res.utc_uncertainty, res.utc_drift_ppm] = utc_figures(found, first_pair);
res.notes = notes;
res.failures = failures;
res.passed = isempty(failures);
res.seconds = etime(clock, started);
res.verdicts = verdicts(res, state);
print_report(res, state);

if do_plot
    plot_cdfs(res, file);
end
if nargout > 0
    r = res;
end
end

% --- Options -------------------------------------------------------------

function file = parse_options(args)
% Errors here come before anything is measured.
file = '';
if numel(args) > 2
    error('mextimecheck:invalidNumInputs', 'Usage: mextimecheck, mextimecheck(''plot'') or mextimecheck(''plot'', file).');
end
if isempty(args)
    return;
end
if ~ischar(args{1}) || ~strcmpi(args{1}, 'plot')
    error('mextimecheck:invalidOption', 'Unknown option: the only option is ''plot''.');
end
if numel(args) == 2
    file = args{2};
    if ~ischar(file) || isempty(file) || size(file, 1) ~= 1
        error('mextimecheck:invalidFile', 'The file must be a file name, as text.');
    end
end
end

function check_graphics(in_octave)
if in_octave && isempty(feval('available_graphics_toolkits'))
    error('mextimecheck:noGraphics', ...
        'Octave has no graphics toolkit here, so it cannot plot: install gnuplot, or run without ''plot''.');
end
end

function file = check_file(file)
% Written as PNG; a name without extension gets .png, as print would add.
[~, ~, ext] = fileparts(file);
if isempty(ext)
    file = [file '.png'];
end
existed = exist(file, 'file') == 2;
fid = fopen(file, 'a');
if fid < 0
    error('mextimecheck:cannotWrite', 'Cannot write the file %s.', file);
end
fclose(fid);
if ~existed
    delete(file);
end
end

% --- Behaviour -----------------------------------------------------------

function [where, found, failures] = locate(names)
where = struct();
found = struct();
failures = {};
for k = 1:numel(names)
    name = names{k};
    kind = exist(name); %#ok<EXIST> a MEX file is 3, a .m file 2
    found.(name) = kind == 2 || kind == 3;
    if found.(name)
        where.(name) = which(name);
    else
        where.(name) = '';
        failures{end + 1} = sprintf('%s: not found on the path', name); %#ok<AGROW>
    end
end
end

function failures = check_errors(found)
% One call per function and per kind of check: the identifier and the
% message. Bad values that a missing check would turn into a very long
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
    'waituntil', 'waituntil();', 'MATLAB:waituntil:invalidNumInputs', 'One or two inputs required.'
    'waituntil', '[a, b, c] = waituntil(0);', 'MATLAB:waituntil:maxlhs', 'Too many output arguments.'
    'waituntil', 'waituntil([0 0]);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must be a real double scalar.'
    'waituntil', 'waituntil(NaN);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must not be NaN.'
    'waituntil', 'waituntil(0, 2);', 'MATLAB:waituntil:invalidSpin', 'Spin must be a number of seconds from 0 to 1.'
    'rtstatus', 'rtstatus(1);', 'MATLAB:rtstatus:invalidNumInputs', 'No input required.'
    'rtstatus', '[a, b, c, d] = rtstatus();', 'MATLAB:rtstatus:maxlhs', 'Too many output arguments.'
    };
failures = {};
for k = 1:size(rows, 1)
    [name, call, id, message] = rows{k, :};
    if ~found.(name)
        continue;
    end
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
end

function [failures, notes] = check_answers(found)
% A scalar double answer, ans set by a bare call, no wait shorter than asked.
failures = {};
notes = {};
if found.clockread
    failures = [failures, attempt('clockread', @check_clockread)];
end
if found.clockutc && found.clockread
    failures = [failures, attempt('clockutc', @check_clockutc)];
end
if found.sleep && found.clockread
    [sleep_failures, notes] = attempt('sleep', @check_sleep);
    failures = [failures, sleep_failures];
end
if found.waituntil && found.clockread
    failures = [failures, attempt('waituntil', @check_waituntil)];
end
end

function [failures, notes] = attempt(name, check)
% A check that raises is a failure of its function, not the end of the run.
notes = {};
try
    if nargout(check) > 1
        [failures, notes] = check();
    else
        failures = check();
    end
catch err
    failures = {sprintf('%s: raised %s: %s', name, err.identifier, err.message)};
end
end

function failures = check_clockread()
failures = {};
t1 = clockread();
t2 = clockread();
if ~is_scalar_double(t1) || ~(t1 > 0)
    failures{end + 1} = 'clockread: the answer is not a positive real double scalar';
elseif ~(t2 >= t1)
    failures{end + 1} = 'clockread: a second reading was smaller than the first';
end
if ~sets_ans('clockread;')
    failures{end + 1} = 'clockread: a bare call does not set ans';
end
end

function failures = check_clockutc()
failures = {};
t0 = clockread();
[t, utc, uncertainty] = clockutc();
t1 = clockread();
if ~is_scalar_double(t) || ~is_scalar_double(utc) || ~is_scalar_double(uncertainty)
    failures{end + 1} = 'clockutc: the answers are not three real double scalars';
    return;
end
if ~(t >= t0 && t <= t1)
    failures{end + 1} = 'clockutc: t is not between two clockread readings around the call';
end
% Another reading of the same UTC clock: whole seconds apart at most.
if abs(utc - system_utc()) > 2
    failures{end + 1} = sprintf('clockutc: utc is %.1f s from the system''s UTC time', utc - system_utc());
end
if ~(uncertainty >= 0 && uncertainty < 0.1)
    failures{end + 1} = sprintf('clockutc: an uncertainty of %g s', uncertainty);
end
if ~sets_ans('clockutc;')
    failures{end + 1} = 'clockutc: a bare call does not set ans';
end
end

function utc = system_utc()
if exist('OCTAVE_VERSION', 'builtin') ~= 0
    utc = time();
else
    utc = posixtime(datetime('now', 'TimeZone', 'UTC'));
end
end

function [failures, notes] = check_sleep()
failures = {};
notes = {};
t0 = clockread();
a = sleep(2);
t1 = clockread();
if ~is_scalar_double(a) || a ~= 0
    failures{end + 1} = 'sleep: sleep(2) did not answer the double 0';
end
[early, note] = early_sleep(0.002 - (t1 - t0), 1);
if early
    failures{end + 1} = sprintf('sleep: sleep(2) returned after %.3f ms', 1000 * (t1 - t0));
elseif ~isempty(note)
    notes{end + 1} = note;
end
if ~sets_ans('sleep(0);')
    failures{end + 1} = 'sleep: a bare call does not set ans';
end
end

function [early, note] = early_sleep(by, n)
% Windows' Sleep counts from the last clock tick, so a wait may end up to
% one tick (at most 1 ms while the resolution is raised) early as the
% counter measures it, as Windows documents: a note there, not a failure.
TICK = 0.001;
note = '';
worst = max(by);
early = worst > 0 && ~(ispc && worst < TICK);
if worst > 0 && ~early
    note = sprintf(['sleep: %d of %d waits ended early, by up to %.3f ms, as Windows'' Sleep ' ...
        'may (it counts from the last clock tick); waituntil re-reads the counter and is never early.'], ...
        sum(by > 0), n, 1000 * worst);
end
end

function failures = check_waituntil()
failures = {};
t = clockread() + 0.002;
[w, spin] = waituntil(t);
after = clockread();
if ~is_scalar_double(w) || ~is_scalar_double(spin)
    failures{end + 1} = 'waituntil: the answers are not real double scalars';
elseif w < t || after < t
    failures{end + 1} = sprintf('waituntil: returned %.3f ms before its deadline', 1000 * (t - min(w, after)));
end
t = clockread() + 0.002;
[w, spin] = waituntil(t, 0);
if w < t || spin ~= 0
    failures{end + 1} = 'waituntil: with spin 0, returned before its deadline or answered another spin';
end
% A deadline in the past returns at once, with the time of the return.
before = clockread();
w = waituntil(before - 1);
after = clockread();
if ~(w >= before && w <= after)
    failures{end + 1} = 'waituntil: a past deadline did not answer the current time';
end
if ~sets_ans('waituntil(0);')
    failures{end + 1} = 'waituntil: a bare call does not set ans';
end
end

function yes = is_scalar_double(x)
yes = isa(x, 'double') && isscalar(x) && isreal(x) && ~issparse(x);
end

function yes = sets_ans(call)
clear('ans');
eval(call);
yes = exist('ans', 'var') == 1;
end

% --- Setup ---------------------------------------------------------------

function yes = wakeup_latency_request()
% What sleep and waituntil try on Linux: the device opened for writing.
% Opened and closed without a write, it requests nothing.
yes = [];
if ~isunix || ismac
    return;
end
fid = fopen('/dev/cpu_dma_latency', 'a');
yes = fid >= 0;
if yes
    fclose(fid);
end
end

function pair = utc_pair(found)
pair = [NaN, NaN, NaN];
if found.clockutc
    try
        [t, utc, uncertainty] = clockutc();
        pair = [t, utc, uncertainty];
    catch err %#ok<NASGU> counted among clockutc's failures already
    end
end
end

function [uncertainty, drift_ppm] = utc_figures(found, first)
% The median pairing of 100 pairs, and how fast UTC moved against the
% counter from the check's first pair to its last.
uncertainty = NaN;
drift_ppm = NaN;
if ~found.clockutc || isnan(first(1))
    return;
end
pairs = zeros(100, 3);
for k = 1:size(pairs, 1)
    pairs(k, :) = utc_pair(found);
end
uncertainty = median(pairs(:, 3));
last = pairs(end, :);
drift_ppm = 1e6 * ((last(2) - first(2)) / (last(1) - first(1)) - 1);
end

% --- Priority ------------------------------------------------------------

function [status, failures] = read_status(found)
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

function yes = same_status(a, b)
yes = ~isempty(b) && a.realtime == b.realtime && strcmp(a.process, b.process) && ...
    strcmp(a.thread, b.thread);
end

function state = classify(status)
% 'normal', 'raised', 'lowered', or 'unknown' when rtstatus did not answer.
if isempty(status.process)
    state = 'unknown';
    return;
end
nice = regexp(status.process, '^nice (-?\d+)$', 'tokens', 'once');
raised = status.realtime || any(strcmp(status.process, {'realtime', 'high', 'above normal'})) || ...
    any(strcmp(status.thread, {'time critical', 'highest', 'above normal'})) || ...
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

% --- Timing --------------------------------------------------------------

function [pass, failures, notes] = measure(found)
pass = empty_pass();
failures = {};
notes = {};
try
    pass.clockread = time_clockread();
catch err
    failures{end + 1} = sprintf('clockread: raised %s: %s', err.identifier, err.message);
end
if found.sleep
    try
        [pass.sleep, failures, notes] = time_sleep(failures);
    catch err
        failures{end + 1} = sprintf('sleep: raised %s: %s', err.identifier, err.message);
    end
end
if found.waituntil
    try
        pass.spin = time_spin();
        [pass.waituntil, failures] = time_waituntil(failures);
        pass.trials = time_trials(200, 0.010);
        pass.trials_500ms = time_trials(10, 0.500);
    catch err
        failures{end + 1} = sprintf('waituntil: raised %s: %s', err.identifier, err.message);
    end
end
end

function pass = empty_pass()
waits = struct('n', 0, 'p50_ms', NaN, 'p90_ms', NaN, 'p99_ms', NaN, 'max_ms', NaN, ...
    'overshoot_ms', []);
trials = struct('n', 0, 'period_ms', NaN, 'jitter_ms', NaN, 'worst_ms', NaN);
pass = struct( ...
    'clockread', struct('n', 0, 'step_us', NaN, 'cost_us', NaN), ...
    'sleep', waits, 'waituntil', waits, ...
    'spin', struct('learned_ms', NaN, 'cpu_share', NaN), ...
    'trials', trials, 'trials_500ms', trials);
end

function c = time_clockread()
n = 100000;
t = zeros(1, n);
for k = 1:n
    t(k) = clockread();
end
steps = diff(t);
c = struct('n', n, 'step_us', 1e6 * min(steps(steps > 0)), ...
    'cost_us', 1e6 * (t(n) - t(1)) / (n - 1));
end

% Each wait is 1 ms, and is late by the time from its end as asked to the
% clockread just after its return: what a script sees.
function [w, failures, notes] = time_sleep(failures)
late = zeros(1, WAITS);
for k = 1:WAITS
    t0 = clockread();
    sleep(1);
    late(k) = clockread() - t0 - 0.001;
end
notes = {};
[early, note] = early_sleep(-late, WAITS);
if ~isempty(note)
    notes{end + 1} = note;
end
[w, failures] = overshoot(late, 'sleep(1)', failures, early);
end

function [w, failures] = time_waituntil(failures)
late = zeros(1, WAITS);
for k = 1:WAITS
    deadline = clockread() + 0.001;
    waituntil(deadline);
    late(k) = clockread() - deadline;
end
[w, failures] = overshoot(late, 'waituntil', failures, min(late) < 0);
end

function n = WAITS()
n = 300;
end

function [w, failures] = overshoot(late, name, failures, early)
if early
    failures{end + 1} = sprintf('%s: %d of %d waits of 1 ms ended early, by up to %.3f ms', ...
        name, sum(late < 0), numel(late), -1000 * min(late));
end
late_ms = 1000 * late;
s = sort(late_ms);
n = numel(s);
at = @(p) s(max(1, ceil(p * n)));
w = struct('n', n, 'p50_ms', at(0.50), 'p90_ms', at(0.90), 'p99_ms', at(0.99), ...
    'max_ms', s(n), 'overshoot_ms', late_ms);
end

function spin = time_spin()
% A 1 kHz loop with the spin waituntil learns: its CPU share, and the
% spin it ended with.
n = 1000;
t0 = clockread() + 0.001;
cpu = cputime;
wall = clockread();
for k = 1:n
    [~, used] = waituntil(t0 + (k - 1) * 0.001);
end
spin = struct('learned_ms', 1000 * used, 'cpu_share', (cputime - cpu) / (clockread() - wall));
end

function trials = time_trials(n, period)
% The README's trial loop: each onset is read right after the wait for
% its deadline returns, when the script goes on to the trial.
onset = zeros(1, n);
t0 = clockread() + period;
for k = 1:n
    waituntil(t0 + (k - 1) * period);
    onset(k) = clockread() - t0;
    % ... one trial ...
end
planned = (0:n - 1) * period;
trials = struct('n', n, 'period_ms', 1000 * period, ...
    'jitter_ms', 1000 * std(diff(onset)), ...
    'worst_ms', 1000 * max(abs(onset - planned)));
end

% --- Report --------------------------------------------------------------

function lines = verdicts(res, state)
lines = {};
if res.passed
    lines{end + 1} = 'behaviour: every function answers and fails as its help says.';
else
    lines{end + 1} = sprintf('behaviour: %d check(s) failed, listed above: do not rely on those functions here.', ...
        numel(res.failures));
end
n = res.normal;
b = res.boosted;
c = n.clockread;
if isnan(c.step_us)
    lines{end + 1} = 'clockread: not measured.';
elseif c.step_us <= 10
    lines{end + 1} = sprintf('clockread: steps of %.2f us, far finer than 1 ms.', c.step_us);
else
    lines{end + 1} = sprintf('clockread: steps of %.2f us, coarse for timing below a millisecond.', c.step_us);
end
if ~isnan(c.cost_us)
    if c.cost_us <= 10
        lines{end + 1} = sprintf('clockread: %.2f us a call, negligible against 1 ms.', c.cost_us);
    else
        lines{end + 1} = sprintf('clockread: %.2f us a call: read it once per trial, not in tight loops.', c.cost_us);
    end
end
lines{end + 1} = judge_waits('sleep(1)', n.sleep, field_of(b, 'sleep'), ...
    ' sleep waits whole milliseconds: pace trials with waituntil.');
lines{end + 1} = judge_waits('waituntil', n.waituntil, field_of(b, 'waituntil'), '');
lines{end + 1} = judge_spin(n.spin, field_of(b, 'spin'));
lines{end + 1} = judge_trials(n, b);
lines{end + 1} = judge_latency_request(res);
lines{end + 1} = judge_utc(res);
lines{end + 1} = judge_priority(res, state);
lines = lines(~cellfun(@isempty, lines));
end

function x = field_of(pass, name)
% A figure of the pass with rtboost, or [] where there was none.
if isempty(pass)
    x = [];
else
    x = pass.(name);
end
end

function line = judge_waits(name, plain, boosted, advice)
if isnan(plain.max_ms)
    line = sprintf('%s: not measured.', name);
    return;
end
text = sprintf('late by %.3f ms at p99, %.3f ms at worst', plain.p99_ms, plain.max_ms);
phrases = {'1 ms waits hold', '1 ms waits hold, but for a rare late one', ...
    'waits end late by a large part of 1 ms', 'waits end late by 1 ms or more'};
if isempty(boosted)
    line = sprintf('%s: %s: %s.%s', name, text, phrases{grade_waits(plain)}, advice);
    return;
end
text = sprintf('%s; with rtboost %.3f ms, %.3f ms', text, boosted.p99_ms, boosted.max_ms);
line = sprintf('%s: %s: %s.%s', name, text, ...
    combine(phrases, grade_waits(plain), grade_waits(boosted)), advice);
end

function grade = grade_waits(w)
% 1 to 4, best first; 0 when not measured.
if isnan(w.max_ms)
    grade = 0;
elseif w.max_ms < 0.5
    grade = 1;
elseif w.p99_ms < 0.5
    grade = 2;
elseif w.p99_ms < 1
    grade = 3;
else
    grade = 4;
end
end

function text = combine(phrases, plain, boosted)
% One verdict where both passes agree, or where rtboost's pass could not
% be graded.
if boosted == 0 || boosted == plain
    text = phrases{plain};
else
    text = sprintf('%s with rtboost; without it, %s', phrases{boosted}, phrases{plain});
end
end

function line = judge_spin(plain, boosted)
if isnan(plain.learned_ms)
    line = '';
    return;
end
line = sprintf(['waituntil: learned a spin of %.3f ms here; a 1 kHz loop with it kept %.0f%% ' ...
    'of a core busy'], plain.learned_ms, 100 * plain.cpu_share);
if ~isempty(boosted) && ~isnan(boosted.learned_ms)
    line = sprintf('%s; with rtboost %.3f ms, %.0f%%', line, boosted.learned_ms, 100 * boosted.cpu_share);
end
line = [line '.'];
end

function line = judge_trials(plain, boosted)
t = plain.trials;
if isnan(t.worst_ms)
    line = 'trial loop: not measured.';
    return;
end
text = sprintf(['onsets read after each waituntil: jitter %.3f ms, off plan by up to %.3f ms ' ...
    '(10 ms apart), %.3f ms (500 ms apart)'], t.jitter_ms, t.worst_ms, plain.trials_500ms.worst_ms);
phrases = {'1 ms pacing holds', '1 ms pacing holds, with little margin', ...
    '1 ms pacing does not hold'};
grade = grade_trials(plain);
if isempty(boosted)
    line = sprintf('trial loop: %s: %s.', text, phrases{grade});
    return;
end
text = sprintf('%s; with rtboost %.3f ms, %.3f ms, %.3f ms', text, boosted.trials.jitter_ms, ...
    boosted.trials.worst_ms, boosted.trials_500ms.worst_ms);
line = sprintf('trial loop: %s: %s.', text, combine(phrases, grade, grade_trials(boosted)));
end

function grade = grade_trials(pass)
worst = max(pass.trials.worst_ms, pass.trials_500ms.worst_ms);
if isnan(worst)
    grade = 0;
elseif worst < 0.5
    grade = 1;
elseif worst < 1
    grade = 2;
else
    grade = 3;
end
end

function line = judge_latency_request(res)
if isempty(res.wakeup_latency_request)
    line = '';
elseif res.wakeup_latency_request
    line = 'wake-up latency: sleep and waituntil hold their PM QoS request on /dev/cpu_dma_latency.';
else
    line = ['wake-up latency: sleep and waituntil cannot write /dev/cpu_dma_latency (root''s by ' ...
        'default), so the CPUs may sleep too deeply to wake on time, often the largest cause of ' ...
        'late waits: let your group write it with the udev rule in help sleep ' ...
        '(KERNEL=="cpu_dma_latency", GROUP="audio", MODE="0660").'];
end
end

function line = judge_utc(res)
if isnan(res.utc_uncertainty)
    line = '';
    return;
end
% Rounded first, so that no '-0.0' shows.
drift = round(10 * res.utc_drift_ppm) / 10 + 0;
line = sprintf(['clockutc: pairs the counter with UTC to within %.3f us (median of 100); UTC ' ...
    'moved %.1f ppm against the counter during the check'], 1e6 * res.utc_uncertainty, drift);
if abs(res.utc_drift_ppm) > 100
    line = [line ': the clock is being slewed, so take a clockutc pair at both ends of each ' ...
        'block and interpolate between them.'];
else
    line = [line '.'];
end
end

function line = judge_priority(res, state)
p = res.priority;
switch state
    case 'unknown'
        line = 'priority: rtstatus did not answer, so the pass with rtboost was skipped.';
        return;
    case 'lowered'
        line = sprintf(['priority: %s ran below normal (%s, %s), so the timing was measured once, ' ...
            'as found: rtrestore would not bring it back down.'], res.host, p.before.process, p.before.thread);
        return;
    case 'raised'
        line = sprintf(['priority: %s already ran raised (%s, %s), so the timing was measured ' ...
            'once, as found, and rtboost was not called: the priority is left as it was.'], ...
            res.host, p.before.process, p.before.thread);
        return;
end
if isempty(p.boosted) || isempty(p.boosted.process)
    line = 'priority: the pass with rtboost was skipped: rtboost or rtrestore is missing.';
    return;
end
if ~p.obtained
    line = sprintf('priority: rtboost obtained nothing here (still %s, %s), so the timing was measured once. %s', ...
        p.before.process, p.before.thread, grant_advice());
elseif p.boosted.realtime
    line = sprintf('priority: rtboost obtained real-time priority (%s, %s).', ...
        p.boosted.process, p.boosted.thread);
else
    line = sprintf('priority: rtboost obtained %s, %s; not real time. %s', ...
        p.boosted.process, p.boosted.thread, grant_advice());
end
if p.restored
    line = sprintf('%s Restored to %s, %s.', line, p.after.process, p.after.thread);
end
end

function text = grant_advice()
if ispc
    text = ['For the realtime class, start MATLAB as administrator (right-click, Run as ' ...
        'administrator); other accounts get ''high'' at most.'];
else
    text = ['To grant real time, give a group limits, e.g. ''@audio - rtprio 95'' and ' ...
        '''@audio - nice -10'' in /etc/security/limits.d/audio.conf, join it ' ...
        '(sudo usermod -aG audio $USER), then log in again.'];
end
end

function print_report(res, state)
for k = 1:numel(res.failures)
    fprintf('FAILED %s\n', res.failures{k});
end
for k = 1:numel(res.notes)
    fprintf('NOTE %s\n', res.notes{k});
end
n = res.normal;
b = res.boosted;
if ~strcmp(state, 'normal')
    fprintf('\n%-32s %18s\n', '', 'as found');
elseif isempty(b)
    fprintf('\n%-32s %18s\n', '', 'without rtboost');
else
    fprintf('\n%-32s %18s %18s\n', '', 'without rtboost', 'with rtboost');
end
row('clockread  smallest step (us)', n, b, {'clockread', 'step_us'});
row('clockread  cost per call (us)', n, b, {'clockread', 'cost_us'});
waits = {'sleep(1)', 'sleep'; 'waituntil', 'waituntil'};
stats = {'p50', 'p90', 'p99', 'max'};
for k = 1:2
    for s = 1:4
        if s == 1
            heading = sprintf('%-10s late, %s (ms)', waits{k, 1}, stats{s});
        else
            heading = sprintf('%-10s       %s (ms)', '', stats{s});
        end
        row(heading, n, b, {waits{k, 2}, [stats{s} '_ms']});
    end
end
row('waituntil  learned spin (ms)', n, b, {'spin', 'learned_ms'});
row('           1 kHz loop, CPU share', n, b, {'spin', 'cpu_share'});
row('trials     jitter (ms)', n, b, {'trials', 'jitter_ms'});
row('           worst onset (ms)', n, b, {'trials', 'worst_ms'});
row('           worst, 500 ms (ms)', n, b, {'trials_500ms', 'worst_ms'});
p = res.priority;
if isempty(b)
    fprintf('%-32s %18s\n', 'rtstatus', status_text(p.before));
else
    fprintf('%-32s %18s %18s\n', 'rtstatus', status_text(p.before), status_text(p.boosted));
end
fprintf('%-32s %s\n', 'clockutc   pairing (us)', number(1e6 * res.utc_uncertainty));
fprintf('%-32s %s\n', '           UTC drift (ppm)', number(res.utc_drift_ppm));
fprintf('\n');
for k = 1:numel(res.verdicts)
    fprintf('%s\n', res.verdicts{k});
end
if res.passed
    fprintf('\nPASSED in %.1f s. ', res.seconds);
else
    fprintf('\nFAILED in %.1f s. ', res.seconds);
end
fprintf('r = mextimecheck() returns all of this, to keep or to send with a bug report.\n');
end

function row(heading, plain, boosted, path)
text = number(plain.(path{1}).(path{2}));
if ~isempty(boosted)
    text = [text ' ' number(boosted.(path{1}).(path{2}))];
end
fprintf('%-32s %s\n', heading, text);
end

function text = number(x)
if isnan(x)
    text = sprintf('%18s', '-');
else
    text = sprintf('%18.3f', x);
end
end

function text = status_text(status)
if isempty(status) || isempty(status.process)
    text = '-';
else
    text = sprintf('%s, %s', status.process, status.thread);
end
end

% --- Plot ----------------------------------------------------------------

function plot_cdfs(res, file)
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
if in_octave
    % Octave's long note on using gnuplot, the toolkit of octave-cli.
    quiet = warning('off', 'Octave:gnuplot-graphics');
    restore_warning = onCleanup(@() warning(quiet));
end
if isempty(file)
    fig = figure();
else
    fig = figure('Visible', 'off');
end
curves = {res.normal.sleep, 'sleep(1)'; res.normal.waituntil, 'waituntil'};
styles = {'b--', 'r--'};
if ~isempty(res.boosted)
    curves = [curves; {res.boosted.sleep, 'sleep(1), rtboost'; res.boosted.waituntil, 'waituntil, rtboost'}];
    styles = [styles, {'b-', 'r-'}];
end
labels = {};
axes_handle = axes('Parent', fig);
hold(axes_handle, 'on');
for k = 1:size(curves, 1)
    late = sort(curves{k, 1}.overshoot_ms);
    if isempty(late)
        continue;
    end
    % Log axis: an overshoot below 1 us is drawn at 1 us.
    late = max(late, 0.001);
    semilogx(axes_handle, late, (1:numel(late)) / numel(late), styles{k}, 'LineWidth', 1.5);
    labels{end + 1} = curves{k, 2}; %#ok<AGROW>
end
set(axes_handle, 'XScale', 'log');
grid(axes_handle, 'on');
xlabel(axes_handle, 'late after return (ms)');
ylabel(axes_handle, 'share of waits');
title(axes_handle, sprintf('mextime %s, %s %s, %s: 1 ms waits', res.mextime_version, ...
    res.host, res.host_version, res.platform), 'Interpreter', 'none');
if ~isempty(labels)
    legend(axes_handle, labels, 'Location', 'southeast');
end
if ~isempty(file)
    print(fig, '-dpng', '-r80', file);
    close(fig);
    fprintf('plot written to %s\n', file);
end
end
