function res = conclude(res)
% Whether the check passed, what holds of the platform, and the verdicts:
% from the result alone, so that a result kept in a lab log reads the same.
res.passed = isempty(res.failures);
res.platform = platform_checks(res);
res.verdicts = verdicts(res);
end
