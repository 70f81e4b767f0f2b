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
