function opts = options(args, host, host_version, has_json)
% What the caller asked for, checked before anything is measured: 'plot'
% with an optional PNG file, 'report' with its JSON file, in either order.
% Each error names the option at fault. HAS_JSON: whether the host has
% jsonencode, which the report needs.
opts = struct('plot', false, 'plot_file', '', 'report_file', '', 'methods_file', '');
usage = ['Usage: mextimecheck, mextimecheck(''plot''), mextimecheck(''plot'', pngfile), ' ...
    'mextimecheck(''report'', jsonfile), or ''plot'' and ''report'' together.'];
if numel(args) > 4
    error('mextimecheck:invalidNumInputs', '%s', usage);
end
k = 1;
while k <= numel(args)
    option = args{k};
    if ~ischar(option) || ~any(strcmpi(option, {'plot', 'report'}))
        error('mextimecheck:invalidOption', 'Unknown option: the options are ''plot'' and ''report''.');
    end
    option = lower(option);
    if (strcmp(option, 'plot') && opts.plot) || (strcmp(option, 'report') && ~isempty(opts.report_file))
        error('mextimecheck:invalidOption', 'The option ''%s'' is given twice.', option);
    end
    % The file after an option: whatever follows that is not an option.
    file = '';
    if k < numel(args) && ~(ischar(args{k + 1}) && any(strcmpi(args{k + 1}, {'plot', 'report'})))
        file = args{k + 1};
        if ~ischar(file) || isempty(file) || size(file, 1) ~= 1
            error('mextimecheck:invalidFile', 'The file after ''%s'' must be a file name, as text.', option);
        end
        k = k + 1;
    end
    if strcmp(option, 'plot')
        opts.plot = true;
        opts.plot_file = file;
    elseif isempty(file)
        error('mextimecheck:invalidFile', ...
            'The report needs a file name: mextimecheck(''report'', ''mextimecheck.json'').');
    else
        opts.report_file = file;
    end
    k = k + 1;
end
if isempty(opts.report_file)
    return;
end
if ~has_json
    error('mextimecheck:noJsonencode', ['%s %s has no jsonencode, which the report needs: it ' ...
        'came with Octave 7 and MATLAB R2016b. Run without ''report'', or in a newer %s.'], ...
        host, host_version, host);
end
% Written as JSON; a name without extension gets .json. The methods
% paragraph goes beside it.
opts.report_file = full_name(opts.report_file, '.json');
[folder, stem] = fileparts(opts.report_file);
opts.methods_file = fullfile(folder, [stem '_methods.txt']);
for file = {opts.report_file, opts.methods_file}
    if ~writable(file{1})
        error('mextimecheck:cannotWrite', 'Cannot write the file %s.', file{1});
    end
end
end

function file = full_name(file, extension)
[folder, ~, ext] = fileparts(file);
if isempty(ext)
    file = [file extension];
end
if isempty(folder)
    file = fullfile(pwd, file);
end
end

function yes = writable(file)
% Opened for appending, so that nothing there is lost; removed again if
% the probe made it.
existed = exist(file, 'file') == 2;
fid = fopen(file, 'a');
yes = fid >= 0;
if yes
    fclose(fid);
    if ~existed
        delete(file);
    end
end
end
