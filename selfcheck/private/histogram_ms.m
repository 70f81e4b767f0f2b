function h = histogram_ms(values_ms)
% Counts of VALUES_MS (ms) between fixed edges, the same in every report
% so that machines compare bin by bin: bin k holds edges(k) <= x <
% edges(k + 1); below counts the values under 0 (early), above those from
% the last edge on.
EDGES_MS = [0, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100];
values_ms = values_ms(:)';
counts = zeros(1, numel(EDGES_MS) - 1);
for k = 1:numel(counts)
    counts(k) = sum(values_ms >= EDGES_MS(k) & values_ms < EDGES_MS(k + 1));
end
h = struct('edges_ms', EDGES_MS, 'counts', counts, 'below', sum(values_ms < 0), ...
    'above', sum(values_ms >= EDGES_MS(end)));
end
