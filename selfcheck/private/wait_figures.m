function [w, failures] = wait_figures(late, name, failures, early)
% The figures of 1 ms waits from how late each ended, in seconds (negative
% when early); early waits are a failure of the function named.
if early
    failures{end + 1} = sprintf('%s: %d of %d waits of 1 ms ended early, by up to %.3f ms', ...
        name, sum(late < 0), numel(late), -1000 * min(late));
end
late_ms = 1000 * late;
w = struct('n', numel(late), 'p50_ms', percentile(late_ms, 0.50), ...
    'p90_ms', percentile(late_ms, 0.90), 'p99_ms', percentile(late_ms, 0.99), ...
    'max_ms', max(late_ms), 'overshoot_ms', late_ms);
end
