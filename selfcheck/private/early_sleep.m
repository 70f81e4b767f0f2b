function [early, note] = early_sleep(by, n)
% Windows' Sleep counts from the last clock tick, so a wait may end up to
% one tick (at most 1 ms while the resolution is raised) early as the
% counter measures it, as Windows documents: a note there, not a failure.
TICK = 0.001;
note = '';
worst = max(by);
early = worst > 0 && ~(ispc && worst < TICK);
if worst > 0 && ~early
    note = sprintf(['sleep: %d of %d waits ended early, by up to %.3f ms, as Windows'' Sleep ' ...
        'may (it counts from the last clock tick); waituntil re-reads the counter and is never early.'], ...
        sum(by > 0), n, 1000 * worst);
end
end
