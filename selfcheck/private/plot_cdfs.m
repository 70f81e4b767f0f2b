function plot_cdfs(res, file)
% The CDFs of how late the 1 ms waits ended: on screen, or in the PNG file
% FILE from an invisible figure, whose path is printed.
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
if in_octave
    % Octave's long note on using gnuplot, the toolkit of octave-cli.
    quiet = warning('off', 'Octave:gnuplot-graphics');
    restore_warning = onCleanup(@() warning(quiet));
end
if isempty(file)
    fig = figure();
else
    fig = figure('Visible', 'off');
end
curves = {res.normal.sleep, 'sleep(1)'; res.normal.waituntil, 'waituntil'};
styles = {'b--', 'r--'};
if ~isempty(res.boosted)
    curves = [curves; {res.boosted.sleep, 'sleep(1), rtboost'; res.boosted.waituntil, 'waituntil, rtboost'}];
    styles = [styles, {'b-', 'r-'}];
end
labels = {};
axes_handle = axes('Parent', fig);
hold(axes_handle, 'on');
for k = 1:size(curves, 1)
    late = sort(curves{k, 1}.overshoot_ms);
    if isempty(late)
        continue;
    end
    % Log axis: an overshoot below 1 us is drawn at 1 us.
    late = max(late, 0.001);
    semilogx(axes_handle, late, (1:numel(late)) / numel(late), styles{k}, 'LineWidth', 1.5);
    labels{end + 1} = curves{k, 2}; %#ok<AGROW>
end
set(axes_handle, 'XScale', 'log');
grid(axes_handle, 'on');
xlabel(axes_handle, 'late after return (ms)');
ylabel(axes_handle, 'share of waits');
title(axes_handle, sprintf('mextime %s, %s %s, %s: 1 ms waits', res.mextime_version, ...
    res.host, res.host_version, res.computer), 'Interpreter', 'none');
if ~isempty(labels)
    legend(axes_handle, labels, 'Location', 'southeast');
end
if ~isempty(file)
    print(fig, '-dpng', '-r80', file);
    close(fig);
    fprintf('plot written to %s\n', file);
end
end
