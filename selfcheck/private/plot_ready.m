function [ok, file, why] = plot_ready(file, in_octave)
% Whether the plot can be drawn, or saved as the PNG file FILE, found
% before anything is measured: a graphics toolkit (Octave's gnuplot needs
% its program), a file that can be written, and print able to write a PNG,
% tried on an empty invisible figure. Without a display the plot is saved
% as mextimecheck.png in the current folder. WHY says what is missing.
ok = false;
why = '';
if in_octave
    % Octave's long note on using gnuplot, the toolkit of octave-cli.
    quiet = warning('off', 'Octave:gnuplot-graphics');
    restore_warning = onCleanup(@() warning(quiet));
    toolkits = feval('available_graphics_toolkits');
    if isempty(toolkits)
        why = 'Octave has no graphics toolkit here, so it cannot plot: install gnuplot.';
        return;
    end
    if isequal(toolkits, {'gnuplot'}) && isempty(gnuplot_program())
        why = 'Octave plots with gnuplot here, and no gnuplot program is on the path: install gnuplot.';
        return;
    end
end
if isempty(file) && ~has_display(in_octave)
    file = 'mextimecheck.png';
end
if isempty(file)
    [ok, why] = try_figure('');
    return;
end
% Written as PNG; a name without extension gets .png, as print would add.
% The full name is what the report prints.
[folder, ~, ext] = fileparts(file);
if isempty(ext)
    file = [file '.png'];
end
if isempty(folder)
    file = fullfile(pwd, file);
end
existed = exist(file, 'file') == 2;
fid = fopen(file, 'a');
if fid < 0
    why = sprintf('Cannot write the file %s.', file);
    return;
end
fclose(fid);
if ~existed
    delete(file);
end
[ok, why] = try_figure([tempname() '.png']);
end

function [ok, why] = try_figure(png)
% An empty invisible figure, printed to PNG where a file is asked for.
why = '';
fig = [];
try
    fig = figure('Visible', 'off');
    if ~isempty(png)
        axes('Parent', fig);
        print(fig, '-dpng', '-r20', png);
        if exist(png, 'file') == 2
            delete(png);
        else
            why = 'print wrote no PNG file here.';
        end
    end
catch err
    why = sprintf('A figure cannot be drawn here (%s).', err.message);
end
if ~isempty(fig) && ishandle(fig)
    close(fig);
end
ok = isempty(why);
end

function program = gnuplot_program()
% Octave's own setting of the program, else gnuplot on the path.
program = feval('gnuplot_binary');
[status, ~] = system(sprintf('"%s" --version', program));
if status ~= 0
    program = '';
end
end

function yes = has_display(in_octave)
% octave-cli and matlab -nodisplay draw nowhere a user would see.
if in_octave
    yes = feval('have_window_system');
else
    yes = usejava('awt');
end
end
