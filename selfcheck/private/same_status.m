function yes = same_status(a, b)
% Two rtstatus readings alike, what the platform grants aside; b is []
% where none was taken.
yes = ~isempty(b) && a.realtime == b.realtime && strcmp(a.process, b.process) && ...
    strcmp(a.thread, b.thread);
end
