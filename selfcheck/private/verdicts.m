function lines = verdicts(res)
% One line of verdict per figure of the result, each with its unit, and
% what to change where pacing does not hold with margin.
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
lines{end + 1} = judge_trials(res);
lines{end + 1} = judge_latency_request(res);
lines{end + 1} = judge_utc(res);
lines{end + 1} = judge_priority(res);
lines{end + 1} = judge_platform(res);
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

function line = judge_trials(res)
% On the p99 onset error of two loops of 200 trials, the worst beside it,
% with the machine's load: where the loops disagree, the load changed.
plain = res.normal;
boosted = res.boosted;
if all(isnan([plain.trials.p99_ms]))
    line = 'trial loop: not measured.';
    return;
end
text = sprintf(['%s onsets %.0f ms apart, read after each waituntil: off plan by %s ms at p99, ' ...
    '%s ms at worst, jitter %s ms; %d onsets %.0f ms apart: %.3f ms at worst'], ...
    loops_count(plain), plain.trials(1).period_ms, both(plain, 'p99_ms'), both(plain, 'worst_ms'), ...
    both(plain, 'jitter_ms'), plain.trials_500ms.n, plain.trials_500ms.period_ms, ...
    plain.trials_500ms.worst_ms);
phrases = {'1 ms pacing holds at p99', '1 ms pacing holds at p99, with little margin', ...
    '1 ms pacing does not hold at p99'};
[grade, grades] = grade_trials(plain);
final = grade;
final_grades = grades;
if isempty(boosted)
    line = sprintf('trial loop: %s: %s.', text, phrases{grade});
else
    [final, final_grades] = grade_trials(boosted);
    text = sprintf(['%s; with rtboost %s ms at p99, %s ms at worst, jitter %s ms; ' ...
        '%.0f ms apart: %.3f ms at worst'], text, both(boosted, 'p99_ms'), both(boosted, 'worst_ms'), ...
        both(boosted, 'jitter_ms'), boosted.trials_500ms.period_ms, boosted.trials_500ms.worst_ms);
    line = sprintf('trial loop: %s: %s.', text, combine(phrases, grade, final));
    if final == 0
        final = grade;
        final_grades = grades;
    end
end
line = sprintf('%s %s.', line, load_text(res));
if all(final_grades > 0) && final_grades(1) ~= final_grades(2)
    line = sprintf(['%s The two loops disagree (%s in one, %s in the other), so the machine''s ' ...
        'load changed while it ran: rerun on a quiet machine to tell which holds.'], line, ...
        strrep(phrases{final_grades(1)}, '1 ms pacing ', ''), strrep(phrases{final_grades(2)}, '1 ms pacing ', ''));
end
if final >= 2
    line = sprintf('%s To pace better: %s.', line, pacing_advice(res));
end
end

function text = loops_count(pass)
text = sprintf('%d onsets', pass.trials(1).n);
if pass.trials(2).n > 0
    text = sprintf('2 x %d', pass.trials(1).n);
end
end

function text = both(pass, name)
% A figure of the two loops, 'A and B'.
text = sprintf('%.3f and %.3f', pass.trials(1).(name), pass.trials(2).(name));
end

function [grade, grades] = grade_trials(pass)
% Each loop 1 to 3, best first, 0 when not measured; the pass, the worse.
grades = zeros(1, 2);
for k = 1:2
    p99 = pass.trials(k).p99_ms;
    if isnan(p99)
        grades(k) = 0;
    elseif p99 < 0.5
        grades(k) = 1;
    elseif p99 < 1
        grades(k) = 2;
    else
        grades(k) = 3;
    end
end
grade = max(grades);
end

function text = load_text(res)
% The load average where the system keeps one, else the share of a core
% a busy loop got.
b = res.load.before;
a = res.load.after;
cores = '';
if ~isnan(res.machine.cores)
    cores = sprintf(' on %d cores', res.machine.cores);
end
if ~isempty(a) && ~isnan(b.loadavg(1)) && ~isnan(a.loadavg(1))
    text = sprintf('Load average %.2f before the check, %.2f after it%s', b.loadavg(1), a.loadavg(1), cores);
elseif ~isempty(a) && ~isnan(b.busy_share) && ~isnan(a.busy_share)
    text = sprintf('A busy loop got %.0f%% of a core before the check, %.0f%% after it', ...
        100 * b.busy_share, 100 * a.busy_share);
else
    text = 'The machine''s load was not measured';
end
end

function text = pacing_advice(res)
% What is left to change, the priority and the PM QoS request first where
% the check found them missing (their own lines tell how); a fixed spin
% and the load always.
p = res.priority;
steps = {};
if ~(p.obtained && p.boosted.realtime) && ~(strcmp(p.state, 'raised') && p.before.realtime)
    if strcmp(p.state, 'lowered')
        steps{end + 1} = sprintf('start %s at the ordinary priority, then call rtboost', res.host);
    else
        steps{end + 1} = 'get real time for rtboost (see priority, below)';
    end
end
if isequal(res.wakeup_latency_request, false)
    steps{end + 1} = 'let sleep and waituntil hold their PM QoS request (see wake-up latency, below)';
end
steps{end + 1} = ['give waituntil a fixed spin, waituntil(t, 0.002), which busy-waits the ' ...
    'last 2 ms before each deadline (20% of a core at 10 ms apart)'];
steps{end + 1} = 'keep the machine otherwise idle while trials run';
text = strjoin(steps, '; ');
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

function line = judge_priority(res)
p = res.priority;
switch p.state
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

function line = judge_platform(res)
checks = res.platform;
if isempty(checks)
    line = '';
    return;
end
verdicts = {checks.verdict};
failing = {checks(strcmp(verdicts, 'does not hold')).name};
line = sprintf('platform: %d of %d assumptions hold here, %d cannot be told by the check', ...
    sum(strcmp(verdicts, 'holds')), numel(checks), sum(strcmp(verdicts, 'cannot tell')));
if isempty(failing)
    line = [line '.'];
else
    line = sprintf('%s; not holding: %s (the platform table above; docs/platforms.md).', line, ...
        strjoin(failing, ', '));
end
end
