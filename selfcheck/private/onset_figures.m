function trials = onset_figures(onset, period)
% The figures of a trial loop from its onsets, in seconds after the first
% deadline, trial k planned at (k - 1) * PERIOD: the jitter of the
% intervals, and how far the onsets were off plan at p99 and at worst,
% with each onset's error.
onset = onset(:)';
n = numel(onset);
off_ms = 1000 * abs(onset - (0:n - 1) * period);
trials = struct('n', n, 'period_ms', 1000 * period, ...
    'jitter_ms', 1000 * std(diff(onset)), ...
    'p99_ms', percentile(off_ms, 0.99), 'worst_ms', max(off_ms), 'off_ms', off_ms);
end
