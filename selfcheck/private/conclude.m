function res = conclude(res)
% Whether the check passed, and its verdicts: from the result alone, so
% that a result kept in a lab log reads the same.
res.passed = isempty(res.failures);
res.verdicts = verdicts(res);
end
