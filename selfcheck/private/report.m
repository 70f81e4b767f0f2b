function report(res)
% Prints the failures, notes, the table of figures with their units, the
% verdicts, and PASSED only where every behaviour check passed.
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
row('           1 kHz loop, CPU (%)', n, b, {'spin', 'cpu_share'}, 100);
row('trials     jitter (ms)', n, b, {'trials', 'jitter_ms'});
row('           onset off, p99 (ms)', n, b, {'trials', 'p99_ms'});
row('                      max (ms)', n, b, {'trials', 'worst_ms'});
row('           500 ms apart, max (ms)', n, b, {'trials_500ms', 'worst_ms'});
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
fprintf('R = mextimecheck() returns all of this, to keep or to send with a bug report.\n');
end

function row(heading, plain, boosted, path, scale)
% One figure of each pass, in the unit its heading names.
if nargin < 5
    scale = 1;
end
text = number(scale * plain.(path{1}).(path{2}));
if ~isempty(boosted)
    text = [text ' ' number(scale * boosted.(path{1}).(path{2}))];
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
