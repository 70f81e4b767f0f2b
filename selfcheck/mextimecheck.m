function r = mextimecheck(varargin)
%MEXTIMECHECK  Check mextime on this machine: behaviour, timing and priority.
%   MEXTIMECHECK checks that clockread, sleep, waituntil, rtboost,
%   rtrestore and rtstatus behave as their help says on this host, then
%   measures for about 10 seconds how precise the timing is here, once at
%   the priority MATLAB or Octave runs at and once more after RTBOOST. It
%   prints a table of figures and one line of verdict per figure: whether
%   1 ms pacing will hold on this machine.
%
%   R = MEXTIMECHECK() also returns every figure in a struct, for a lab
%   log or a bug report: R.passed (true when every behaviour check
%   passed), R.failures (one line per failed check, starting with the
%   function's name), R.host, R.host_version, R.platform (computer),
%   R.mextime_version, R.functions (where each function runs from),
%   R.priority (what RTSTATUS reported before, after RTBOOST and at the
%   end), R.normal and R.boosted (the figures without and with RTBOOST),
%   and R.verdicts. Figures are in milliseconds (_ms) or microseconds
%   (_us); NaN where a figure could not be measured.
%
%   MEXTIMECHECK('plot') also draws the overshoot CDFs of sleep(1) and of
%   a 1 ms WAITUNTIL, with and without RTBOOST, in one figure.
%   MEXTIMECHECK('plot', FILE) draws it in an invisible figure and saves
%   it as a PNG file, so a run without a display can keep it.
%
%   The figures:
%     clockread   the smallest step between two calls, and the cost of
%                 one call in a loop that stores its answers;
%     sleep(1)    how late 300 waits of 1 ms end, read with clockread
%                 after each: p50, p90, p99 and max;
%     waituntil   the same for 300 waits to a deadline 1 ms ahead;
%     trials      200 trials 10 ms apart, paced with WAITUNTIL to
%                 absolute deadlines: the jitter (standard deviation of the
%                 intervals) and the worst onset error against the plan.
%
%   Priority: the priority is left as it was found. After the pass with
%   RTBOOST, RTRESTORE brings it back, also when the check is interrupted
%   (Ctrl+C). Where MATLAB or Octave already ran at a raised priority
%   before the check, it stays raised and RTRESTORE is not called. Where it
%   ran below the normal priority, the pass with RTBOOST is skipped, since
%   RTRESTORE would bring it to normal, not back down.
%
%   When reporting a problem, send the printed table, or R (save it with
%   save('mextimecheck.mat', 'r')).
%
%   See also CLOCKREAD, SLEEP, WAITUNTIL, RTBOOST, RTRESTORE, RTSTATUS.

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

names = {'clockread', 'sleep', 'waituntil', 'rtboost', 'rtrestore', 'rtstatus'};
[res.functions, found, failures] = locate(names);
failures = [failures, check_errors(found)];
failures = [failures, check_answers(found)];
if ~found.clockread
    error('mextimecheck:noClockread', ...
        'clockread is not on the path: add the folder of the mextime MEX files first.');
end

% The priority as found decides whether the pass with rtboost may run and
% whether rtrestore runs at the end.
[before, status_failures] = read_status(found);
failures = [failures, status_failures];
res.priority = struct('before', before, 'boosted', [], 'after', [], ...
    'raised_before', false, 'restored', false);
state = classify(before);
res.priority.raised_before = strcmp(state, 'raised');

fprintf('measuring without rtboost ...\n');
[res.normal, pass_failures] = measure(found);
failures = [failures, pass_failures];

% Without rtrestore a normal priority could not be given back: no rtboost.
if found.rtboost && (strcmp(state, 'raised') || (strcmp(state, 'normal') && found.rtrestore))
    if strcmp(state, 'normal')
        % Also runs if the check is interrupted from here on.
        restore = onCleanup(@() rtrestore());
    end
    fprintf('measuring with rtboost ...\n');
    try
        rtboost();
    catch err
        failures{end + 1} = sprintf('rtboost: raised %s: %s', err.identifier, err.message);
    end
    [res.priority.boosted, status_failures] = read_status(found);
    failures = [failures, status_failures];
    [res.boosted, pass_failures] = measure(found);
    failures = [failures, pass_failures];
    if exist('restore', 'var')
        clear('restore');
        res.priority.restored = true;
    end
else
    res.boosted = empty_pass();
end

[res.priority.after, status_failures] = read_status(found);
failures = [failures, status_failures];
if res.priority.restored && ~isempty(before.process) && ...
        ~(strcmp(res.priority.after.process, before.process) && ...
          strcmp(res.priority.after.thread, before.thread))
    failures{end + 1} = sprintf('rtrestore: left %s, %s; the check found %s, %s', ...
        res.priority.after.process, res.priority.after.thread, before.process, before.thread);
end

res.failures = failures;
res.passed = isempty(failures);
res.seconds = etime(clock, started);
res.verdicts = verdicts(res, state);
print_report(res);

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
% Each row: function, call, identifier, message. Bad values that a missing
% check would turn into a very long wait (Inf, huge deadlines) are left to
% the test suites: here every call must end at once.
rows = {
    'clockread', 'clockread(1);', 'MATLAB:tsec:invalidNumInputs', 'No input required.'
    'clockread', '[a, b] = clockread();', 'MATLAB:tsec:maxlhs', 'Too many output arguments.'
    'sleep', 'sleep();', 'MATLAB:sleep:invalidNumInputs', 'One input required.'
    'sleep', 'sleep(''5'');', 'MATLAB:sleep:invalidInput', 'Duration must be a non-empty full double array.'
    'sleep', 'sleep(int32(5));', 'MATLAB:sleep:invalidInput', 'Duration must be a non-empty full double array.'
    'sleep', 'sleep(NaN);', 'MATLAB:sleep:invalidDuration', 'Duration must not be NaN.'
    'waituntil', 'waituntil();', 'MATLAB:waituntil:invalidNumInputs', 'One or two inputs required.'
    'waituntil', 'waituntil(0, 0, 0);', 'MATLAB:waituntil:invalidNumInputs', 'One or two inputs required.'
    'waituntil', '[a, b, c] = waituntil(0);', 'MATLAB:waituntil:maxlhs', 'Too many output arguments.'
    'waituntil', 'waituntil(''5'');', 'MATLAB:waituntil:invalidDeadline', 'Deadline must be a real double scalar.'
    'waituntil', 'waituntil([0 0]);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must be a real double scalar.'
    'waituntil', 'waituntil(NaN);', 'MATLAB:waituntil:invalidDeadline', 'Deadline must not be NaN.'
    'waituntil', 'waituntil(0, 2);', 'MATLAB:waituntil:invalidSpin', 'Spin must be a number of seconds from 0 to 1.'
    'waituntil', 'waituntil(0, NaN);', 'MATLAB:waituntil:invalidSpin', 'Spin must be a number of seconds from 0 to 1.'
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

function failures = check_answers(found)
% A scalar double answer, ans set by a bare call, no wait shorter than asked.
failures = {};
if found.clockread
    failures = [failures, attempt('clockread', @check_clockread)];
end
if found.sleep && found.clockread
    failures = [failures, attempt('sleep', @check_sleep)];
end
if found.waituntil && found.clockread
    failures = [failures, attempt('waituntil', @check_waituntil)];
end
end

function failures = attempt(name, check)
% A check that raises is a failure of its function, not the end of the run.
try
    failures = check();
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

function failures = check_sleep()
failures = {};
t0 = clockread();
a = sleep(2);
t1 = clockread();
if ~is_scalar_double(a) || a ~= 0
    failures{end + 1} = 'sleep: sleep(2) did not answer the double 0';
end
if t1 - t0 < 0.002
    failures{end + 1} = sprintf('sleep: sleep(2) returned after %.3f ms', 1000 * (t1 - t0));
end
if ~sets_ans('sleep(0);')
    failures{end + 1} = 'sleep: a bare call does not set ans';
end
end

function failures = check_waituntil()
failures = {};
t = clockread() + 0.002;
w = waituntil(t);
after = clockread();
if ~is_scalar_double(w)
    failures{end + 1} = 'waituntil: the answer is not a real double scalar';
elseif w < t || after < t
    failures{end + 1} = sprintf('waituntil: returned %.3f ms before its deadline', 1000 * (t - min(w, after)));
end
t = clockread() + 0.002;
w = waituntil(t, 0);
if w < t
    failures{end + 1} = 'waituntil: with spin 0, returned before its deadline';
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

function [pass, failures] = measure(found)
pass = empty_pass();
failures = {};
try
    pass.clockread = time_clockread();
catch err
    failures{end + 1} = sprintf('clockread: raised %s: %s', err.identifier, err.message);
end
if found.sleep
    try
        [pass.sleep, failures] = time_sleep(failures);
    catch err
        failures{end + 1} = sprintf('sleep: raised %s: %s', err.identifier, err.message);
    end
end
if found.waituntil
    try
        [pass.waituntil, failures] = time_waituntil(failures);
        pass.trials = time_trials();
    catch err
        failures{end + 1} = sprintf('waituntil: raised %s: %s', err.identifier, err.message);
    end
end
end

function pass = empty_pass()
waits = struct('n', 0, 'p50_ms', NaN, 'p90_ms', NaN, 'p99_ms', NaN, 'max_ms', NaN, ...
    'overshoot_ms', []);
pass = struct( ...
    'clockread', struct('n', 0, 'step_us', NaN, 'cost_us', NaN), ...
    'sleep', waits, 'waituntil', waits, ...
    'trials', struct('n', 0, 'period_ms', NaN, 'jitter_ms', NaN, 'worst_ms', NaN));
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
function [w, failures] = time_sleep(failures)
late = zeros(1, WAITS);
for k = 1:WAITS
    t0 = clockread();
    sleep(1);
    late(k) = clockread() - t0 - 0.001;
end
[w, failures] = overshoot(late, 'sleep(1)', failures);
end

function [w, failures] = time_waituntil(failures)
late = zeros(1, WAITS);
for k = 1:WAITS
    deadline = clockread() + 0.001;
    waituntil(deadline);
    late(k) = clockread() - deadline;
end
[w, failures] = overshoot(late, 'waituntil', failures);
end

function n = WAITS()
n = 300;
end

function [w, failures] = overshoot(late, name, failures)
if min(late) < 0
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

function trials = time_trials()
% The README's trial loop: each onset read after the wait for its deadline.
n = 200;
period = 0.010;
onset = zeros(1, n);
t0 = clockread();
for k = 1:n
    onset(k) = clockread() - t0;
    % ... one trial ...
    waituntil(t0 + k * period);
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
lines{end + 1} = judge_waits('sleep(1)', n.sleep, b.sleep, ...
    ' sleep waits whole milliseconds: pace trials with waituntil.');
lines{end + 1} = judge_waits('waituntil', n.waituntil, b.waituntil, '');
lines{end + 1} = judge_trials(n.trials, b.trials);
lines{end + 1} = judge_priority(res, state);
end

function line = judge_waits(name, plain, boosted, advice)
if isnan(plain.max_ms)
    line = sprintf('%s: not measured.', name);
    return;
end
text = sprintf('late by %.3f ms at p99, %.3f ms at worst', plain.p99_ms, plain.max_ms);
if ~isnan(boosted.max_ms)
    text = sprintf('%s; with rtboost %.3f ms, %.3f ms', text, boosted.p99_ms, boosted.max_ms);
end
phrases = {'1 ms waits hold', '1 ms waits hold, but for a rare late one', ...
    'waits end late by a large part of 1 ms', 'waits end late by 1 ms or more'};
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
% One verdict where both passes agree, or where rtboost did not run.
if boosted == 0 || boosted == plain
    text = phrases{plain};
else
    text = sprintf('%s with rtboost; without it, %s', phrases{boosted}, phrases{plain});
end
end

function line = judge_trials(plain, boosted)
if isnan(plain.worst_ms)
    line = 'trial loop: not measured.';
    return;
end
text = sprintf('jitter %.3f ms, onsets off plan by up to %.3f ms', plain.jitter_ms, plain.worst_ms);
if ~isnan(boosted.worst_ms)
    text = sprintf('%s; with rtboost %.3f ms, %.3f ms', text, boosted.jitter_ms, boosted.worst_ms);
end
phrases = {'1 ms pacing holds', '1 ms pacing holds, with little margin', ...
    '1 ms pacing does not hold'};
line = sprintf('trial loop: %s: %s.', text, ...
    combine(phrases, grade_trials(plain), grade_trials(boosted)));
end

function grade = grade_trials(t)
if isnan(t.worst_ms)
    grade = 0;
elseif t.worst_ms < 0.5
    grade = 1;
elseif t.worst_ms < 1
    grade = 2;
else
    grade = 3;
end
end

function line = judge_priority(res, state)
p = res.priority;
switch state
    case 'unknown'
        line = 'priority: rtstatus did not answer, so the pass with rtboost was skipped.';
        return;
    case 'lowered'
        line = sprintf(['priority: %s ran below normal (%s, %s), so the pass with rtboost ' ...
            'was skipped: rtrestore would not bring it back down.'], res.host, p.before.process, p.before.thread);
        return;
end
if isempty(p.boosted) || isempty(p.boosted.process)
    line = 'priority: the pass with rtboost was skipped: rtboost or rtrestore is missing.';
    return;
end
got = sprintf('%s, %s', p.boosted.process, p.boosted.thread);
if strcmp(got, sprintf('%s, %s', p.before.process, p.before.thread))
    got = sprintf('nothing: still %s', got);
end
if p.boosted.realtime
    line = sprintf('priority: rtboost obtained real-time priority (%s).', got);
elseif ispc
    line = sprintf(['priority: rtboost obtained %s; not real time: start MATLAB as ' ...
        'administrator (right-click, Run as administrator) for the realtime class.'], got);
else
    line = sprintf(['priority: rtboost obtained %s; not real time: give your account ' ...
        'limits, e.g. ''@audio - rtprio 95'' and ''@audio - nice -10'' in ' ...
        '/etc/security/limits.d/audio.conf, join the group audio, log in again.'], got);
end
if strcmp(state, 'raised')
    line = sprintf('%s %s already ran raised (%s, %s) and stays raised.', line, res.host, ...
        p.before.process, p.before.thread);
elseif p.restored
    line = sprintf('%s Restored to %s, %s.', line, p.after.process, p.after.thread);
end
end

function print_report(res)
for k = 1:numel(res.failures)
    fprintf('FAILED %s\n', res.failures{k});
end
fprintf('\n%-32s %18s %18s\n', '', 'without rtboost', 'with rtboost');
n = res.normal;
b = res.boosted;
row('clockread  smallest step (us)', n.clockread.step_us, b.clockread.step_us, '%18.3f');
row('clockread  cost per call (us)', n.clockread.cost_us, b.clockread.cost_us, '%18.3f');
waits = {'sleep(1)', 'sleep'; 'waituntil', 'waituntil'};
for k = 1:2
    label = waits{k, 1};
    field = waits{k, 2};
    stats = {'p50', 'p90', 'p99', 'max'};
    for s = 1:4
        name = [stats{s} '_ms'];
        if s == 1
            heading = sprintf('%-10s late, %s (ms)', label, stats{s});
        else
            heading = sprintf('%-10s       %s (ms)', '', stats{s});
        end
        row(heading, n.(field).(name), b.(field).(name), '%18.3f');
    end
end
row('trials     jitter (ms)', n.trials.jitter_ms, b.trials.jitter_ms, '%18.3f');
row('           worst onset (ms)', n.trials.worst_ms, b.trials.worst_ms, '%18.3f');
p = res.priority;
fprintf('%-32s %18s %18s\n', 'rtstatus', status_text(p.before), status_text(p.boosted));
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

function row(heading, plain, boosted, format)
fprintf('%-32s %s %s\n', heading, number(plain, format), number(boosted, format));
end

function text = number(x, format)
if isnan(x)
    text = sprintf('%18s', '-');
else
    text = sprintf(format, x);
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
curves = {res.normal.sleep, 'sleep(1)'; res.boosted.sleep, 'sleep(1), rtboost';
    res.normal.waituntil, 'waituntil'; res.boosted.waituntil, 'waituntil, rtboost'};
styles = {'b--', 'b-', 'r--', 'r-'};
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
xlabel(axes_handle, 'late by (ms)');
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
