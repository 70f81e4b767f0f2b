function m = machine_info(in_octave)
% What the machine is, for the report and the platform checks: the system
% ('Linux', 'Windows' or 'macOS'), the OS and kernel, the CPU, its cores;
% on Linux the clock source and the preemption model. '' or NaN where the
% machine does not tell.
m = struct('system', '', 'os', '', 'kernel', '', 'cpu', '', 'cores', NaN, ...
    'clock_source', '', 'preemption', '', 'preemption_source', '');
if ispc
    m.system = 'Windows';
    m.os = strtrim(command_output('ver'));
    m.cpu = getenv('PROCESSOR_IDENTIFIER');
elseif ismac
    m.system = 'macOS';
    m.os = ['macOS ' strtrim(command_output('sw_vers -productVersion'))];
    m.kernel = strtrim(command_output('uname -r'));
    m.cpu = strtrim(command_output('sysctl -n machdep.cpu.brand_string'));
else
    m.system = 'Linux';
    m.os = first_match(read_text('/etc/os-release'), 'PRETTY_NAME="?([^"\n]*)', 'Linux');
    m.kernel = strtrim(read_text('/proc/sys/kernel/osrelease'));
    m.cpu = first_match(read_text('/proc/cpuinfo'), 'model name\s*:\s*([^\n]*)', '');
    m.clock_source = strtrim(read_text('/sys/devices/system/clocksource/clocksource0/current_clocksource'));
    [m.preemption, m.preemption_source] = preemption_model(read_text('/proc/version'), ...
        read_text('/sys/kernel/debug/sched/preempt'), read_text('/proc/cmdline'), kernel_config(m.kernel));
end
m.cores = cores(in_octave);
end

function text = read_text(file)
% A file's text, or '' where it cannot be read.
text = '';
try
    text = fileread(file);
catch err %#ok<NASGU> an unreadable file tells nothing
end
end

function text = command_output(command)
[status, text] = system(command);
if status ~= 0
    text = '';
end
end

function value = first_match(text, pattern, fallback)
% The first match's token, trimmed, or FALLBACK where there is none.
value = regexp(text, pattern, 'tokens', 'once');
if isempty(value)
    value = fallback;
else
    value = strtrim(value{1});
end
end

function text = kernel_config(release)
% The kernel's build options: Debian and Ubuntu keep them in /boot, others
% in /proc/config.gz.
text = read_text(['/boot/config-' release]);
if isempty(text)
    text = command_output('zcat /proc/config.gz 2>/dev/null');
end
end

function n = cores(in_octave)
n = NaN;
try
    if in_octave
        n = feval('nproc');
    else
        % The physical cores, MATLAB's default number of threads.
        n = maxNumCompThreads;
    end
catch err %#ok<NASGU> NaN: not told
end
end
