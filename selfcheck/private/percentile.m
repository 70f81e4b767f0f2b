function x = percentile(values, p)
% The nearest-rank P quantile: the smallest value that a share P of the
% values does not exceed, one of the values measured. p99 of 200 is the
% 198th from the least, so two may be worse.
s = sort(values);
x = s(max(1, ceil(p * numel(s))));
end
