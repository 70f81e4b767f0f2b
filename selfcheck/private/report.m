function report(res)
% Prints the failures, notes, the table of figures with their units, the
% platform checks, the verdicts, and PASSED only where every behaviour
% check passed.
for k = 1:numel(res.failures)
    fprintf('FAILED %s\n', res.failures{k});
end
for k = 1:numel(res.notes)
    fprintf('NOTE %s\n', res.notes{k});
end
n = res.normal;
b = res.boosted;
if ~strcmp(res.priority.state, 'normal')
    fprintf('\n%-32s %18s\n', '', 'as found');
elseif isempty(b)
    fprintf('\n%-32s %18s\n', '', 'without rtboost');
else
    fprintf('\n%-32s %18s %18s\n', '', 'without rtboost', 'with rtboost');
end
row('clockread  smallest step (us)', n, b, {'clockread', 'step_us'});
row('clockread  cost per call (us)', n, b, {'clockread', 'cost_us'});
waits = {'sleep(1)', 'sleep'; 'waituntil', 'waituntil'; 'timer', 'timer'};
stats = {'p50', 'p90', 'p99', 'max'};
for k = 1:size(waits, 1)
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
row('           1 kHz loop, CPU (%)', n, b, {'spin', 'cpu_share'}, 100);
row('trials     jitter (ms)', n, b, {'trials', 'jitter_ms'});
row('           onset off, p99 (ms)', n, b, {'trials', 'p99_ms'});
row('                      max (ms)', n, b, {'trials', 'worst_ms'});
row('           again, p99 (ms)', n, b, {'trials', 'p99_ms', 2});
row('                  max (ms)', n, b, {'trials', 'worst_ms', 2});
row('           500 ms apart, max (ms)', n, b, {'trials_500ms', 'worst_ms'});
p = res.priority;
if isempty(b)
    fprintf('%-32s %18s\n', 'rtstatus', status_text(p.before));
else
    fprintf('%-32s %18s %18s\n', 'rtstatus', status_text(p.before), status_text(p.boosted));
end
fprintf('%-32s %s\n', 'clockutc   pairing (us)', number(1e6 * res.utc_uncertainty));
fprintf('%-32s %s\n', '           UTC drift (ppm)', number(res.utc_drift_ppm));
fprintf('%-32s %s %s\n', 'load       before, after', load_number(res.load.before), ...
    load_number(res.load.after));
if ~isempty(res.platform)
    fprintf('\n%-18s %-14s %s\n', 'platform', 'answer', 'figure');
    for k = 1:numel(res.platform)
        c = res.platform(k);
        fprintf('%-18s %-14s %s\n', c.name, c.verdict, c.figure);
        if strcmp(c.verdict, 'does not hold') && ~isempty(c.advice)
            fprintf('%-18s %-14s %s\n', '', '', c.advice);
        end
    end
end
fprintf('\n');
for k = 1:numel(res.verdicts)
    fprintf('%s\n', res.verdicts{k});
end
if res.passed
    fprintf('\nPASSED in %.1f s. ', res.seconds);
else
    fprintf('\nFAILED in %.1f s. ', res.seconds);
end
fprintf(['R = mextimecheck() returns all of this, and mextimecheck(''report'', file) keeps it, ' ...
    'to compare machines or to send with a bug report.\n']);
end

function row(heading, plain, boosted, path, scale)
% One figure of each pass, in the unit its heading names; a third element
% of PATH picks one of a figure's loops.
if nargin < 5
    scale = 1;
end
text = number(scale * figure_of(plain, path));
if ~isempty(boosted)
    text = [text ' ' number(scale * figure_of(boosted, path))];
end
fprintf('%-32s %s\n', heading, text);
end

function x = figure_of(pass, path)
item = 1;
if numel(path) > 2
    item = path{3};
end
x = pass.(path{1})(item).(path{2});
end

function text = number(x)
if isnan(x)
    text = sprintf('%18s', '-');
else
    text = sprintf('%18.3f', x);
end
end

function text = load_number(load)
% The 1-minute load average where the system keeps one, else the share
% of a core a busy loop got.
if isempty(load)
    text = sprintf('%18s', '-');
elseif ~isnan(load.loadavg(1))
    text = sprintf('%18s', sprintf('%.2f', load.loadavg(1)));
else
    text = sprintf('%18s', sprintf('busy %.0f%%', 100 * load.busy_share));
end
end

function text = status_text(status)
if isempty(status) || isempty(status.process)
    text = '-';
else
    text = sprintf('%s, %s', status.process, status.thread);
end
end
