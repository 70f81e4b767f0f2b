function text = methods_text(res)
% A methods paragraph worded from the measured figures, to adapt for a
% paper: the host, the OS, the priority, the onset error at p99 and at
% worst over the trials, the date and the mextime version.
m = res.machine;
[pass, priority] = pass_and_priority(res);
t = pass.trials;
n = sum([t.n]);
off = [t.off_ms];
machine = m.os;
if ~isempty(m.kernel)
    machine = sprintf('%s (kernel %s)', machine, m.kernel);
end
if ~isempty(m.cpu)
    machine = sprintf('%s, %s', machine, m.cpu);
end
if ~isnan(m.cores)
    machine = sprintf('%s, %d cores', machine, m.cores);
end
host = res.host;
if strcmp(host, 'Octave')
    host = 'GNU Octave';
end
p99 = NaN;
if ~isempty(off)
    p99 = percentile(off, 0.99);
end
text = sprintf(['Timing was checked with mextimecheck (mextime %s) in %s %s on %s, on %s. ' ...
    '%s, %d trials paced %.0f ms apart with waituntil to absolute deadlines, in two loops of %d, ' ...
    'began %.3f ms after their planned time at the 99th percentile and %.3f ms at worst, each ' ...
    'onset read with clockread when the script went on; sleep(1) ended %.3f ms late at the 99th ' ...
    'percentile. %s.'], res.mextime_version, host, res.host_version, machine, res.date(1:10), ...
    priority, n, t(1).period_ms, t(1).n, p99, max([off, NaN]), ...
    pass.sleep.p99_ms, load_sentence(res));
end

function [pass, priority] = pass_and_priority(res)
% The pass with rtboost where it ran: the priority trials would run at.
p = res.priority;
if ~isempty(res.boosted)
    pass = res.boosted;
    priority = sprintf('With the priority raised by rtboost (%s, %s)', p.boosted.process, p.boosted.thread);
else
    pass = res.normal;
    if strcmp(p.state, 'normal')
        priority = sprintf('At the ordinary priority (%s, %s)', p.before.process, p.before.thread);
    else
        priority = sprintf('At the priority found (%s, %s)', p.before.process, p.before.thread);
    end
end
end

function text = load_sentence(res)
b = res.load.before;
a = res.load.after;
if ~isnan(b.loadavg(1)) && ~isnan(a.loadavg(1))
    text = sprintf('The load average was %.2f before the check and %.2f after it', b.loadavg(1), a.loadavg(1));
else
    text = sprintf('A busy loop got %.0f%% of a core before the check and %.0f%% after it', ...
        100 * b.busy_share, 100 * a.busy_share);
end
end
