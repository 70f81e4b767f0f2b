function [where, found, failures] = locate(names)
% Where each function runs from; a missing one is a failure.
where = struct();
found = struct();
failures = {};
for k = 1:numel(names)
    name = names{k};
    kind = exist(name); %#ok<EXIST> a MEX file is 3, a .m file 2
    found.(name) = kind == 2 || kind == 3;
    if found.(name)
        where.(name) = which(name);
    else
        where.(name) = '';
        failures{end + 1} = sprintf('%s: not found on the path', name); %#ok<AGROW>
    end
end
end
