## [missing, undocumented] = report_fields (REPORT, DOC): the fields that
## docs/report.md (DOC) names and the decoded JSON report REPORT lacks, and
## those REPORT has that DOC does not name. In DOC's table each field is a
## path in backticks: [] for each element of an array, * for each field of
## an object; "boosted" has the fields of "normal", "priority.boosted" and
## "priority.kept" those of "priority.before".
function [missing, undocumented] = report_fields (report, doc)
  documented = regexp (fileread (doc), '\n\| `([a-z0-9_.*\[\]]+)` \|', "tokens");
  documented = cellfun (@(t) t{1}, documented, "UniformOutput", false);
  found = paths_of (report, "");
  missing = documented(! cellfun (@(p) covered (p, found), documented));
  same = @(p) regexprep (regexprep (p, '^boosted\.', 'normal.'), '^priority\.(boosted|kept)\.', 'priority.before.');
  undocumented = found(! cellfun (@(p) any (strcmp (same (p), documented)) ...
                                   || any (strcmp (regexprep (p, '\.[^.]+$', '.*'), documented)), found));
endfunction

## Every leaf's path; a struct array stands for each of its elements.
function paths = paths_of (x, prefix)
  paths = {};
  if (isstruct (x) && ! isempty (x))
    if (numel (x) > 1)
      prefix = [prefix "[]"];
    endif
    for name = fieldnames (x)'
      paths = [paths, paths_of(x(1).(name{1}), [prefix "." name{1}])];
    endfor
  else
    paths = {prefix(2:end)};
  endif
endfunction

## A documented path is there as a leaf, or above one (an object or []).
function yes = covered (path, found)
  pattern = ['^' regexprep(regexprep (path, '([.\[\]])', '\\$1'), '\\\.\*$', '\\.[^.]+') '(\.|\[|$)'];
  yes = any (! cellfun (@isempty, regexp (found, pattern, "once")));
endfunction
