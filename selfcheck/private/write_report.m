function write_report(res, file, methods_file, png)
% Writes the result as the JSON report of docs/report.md to FILE, and the
% methods paragraph, which it also prints, to METHODS_FILE; PNG is the plot
% saved in the same run, '' where none was. Every field is
% always there, in MATLAB and Octave alike: arrays stay arrays (cells of
% structs), a figure not measured is null (NaN), a pass or a reading that
% did not happen is [].
SCHEMA_VERSION = 1;
text = methods_text(res);
report = struct();
report.schema = 'mextime-report';
report.schema_version = SCHEMA_VERSION;
report.mextime_version = res.mextime_version;
report.date = res.date;
report.seconds = res.seconds;
report.host = struct('name', res.host, 'version', res.host_version, 'computer', res.computer);
report.machine = res.machine;
report.load = struct('before', res.load.before, 'after', res.load.after);
report.passed = res.passed;
report.failures = res.failures;
report.notes = res.notes;
report.functions = res.functions;
p = res.priority;
report.priority = struct('state', p.state, 'obtained', p.obtained, 'restored', p.restored, ...
    'warning', p.warning, 'before', p.before, 'boosted', p.boosted, 'kept', p.kept, 'after', p.after);
report.platform_values = platform_fields(p.before.platform);
report.wakeup_latency_request = res.wakeup_latency_request;
report.normal = pass_report(res.normal);
report.boosted = pass_report(res.boosted);
report.utc = struct('uncertainty_us', 1e6 * res.utc_uncertainty, 'drift_ppm', res.utc_drift_ppm);
report.verdicts = res.verdicts;
report.platform = num2cell(res.platform);
report.methods = text;
% The plot's size ties a PNG kept beside the report to this run.
report.plot = struct('file', png, 'bytes', NaN);
if ~isempty(png) && exist(png, 'file') == 2
    listing = dir(png);
    report.plot.bytes = listing.bytes;
end
write_text(file, jsonencode(report));
write_text(methods_file, sprintf('%s\n', text));
fprintf('\n%s\n\nreport written to %s\nmethods written to %s\n', text, file, methods_file);
end

function out = pass_report(pass)
if isempty(pass)
    out = [];
    return;
end
trials = {trials_report(pass.trials(1)), trials_report(pass.trials(2))};
out = struct('clockread', pass.clockread, 'sleep', waits_report(pass.sleep), ...
    'waituntil', waits_report(pass.waituntil), 'timer', waits_report(pass.timer), ...
    'spin', pass.spin, 'trials', {trials}, 'trials_500ms', trials_report(pass.trials_500ms));
end

function out = waits_report(w)
out = struct('n', w.n, 'p50_ms', w.p50_ms, 'p90_ms', w.p90_ms, 'p99_ms', w.p99_ms, ...
    'max_ms', w.max_ms, 'late_ms', w.overshoot_ms, 'histogram', histogram_ms(w.overshoot_ms));
end

function out = trials_report(t)
out = struct('n', t.n, 'period_ms', t.period_ms, 'jitter_ms', t.jitter_ms, 'p99_ms', t.p99_ms, ...
    'worst_ms', t.worst_ms, 'off_ms', t.off_ms, 'histogram', histogram_ms(t.off_ms));
end

function write_text(file, text)
fid = fopen(file, 'w');
if fid < 0
    error('mextimecheck:cannotWrite', 'Cannot write the file %s.', file);
end
fprintf(fid, '%s', text);
fclose(fid);
end
