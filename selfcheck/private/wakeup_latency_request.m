function yes = wakeup_latency_request(device)
% Whether sleep and waituntil can hold their PM QoS request on Linux: the
% device exists as a character device and opens for writing. [] on other
% systems. A regular file of that name (made where /dev is writable, as
% root in a container) holds nothing, and the probe never makes one:
% 'r+' opens only what exists (it needs read besides write, which the
% udev rule in help sleep gives). Opened and closed without a write, the
% device requests nothing.
if nargin < 1
    device = '/dev/cpu_dma_latency';
end
yes = [];
if ~isunix || ismac
    return;
end
yes = is_character_device(device);
if yes
    fid = fopen(device, 'r+');
    yes = fid >= 0;
    if yes
        fclose(fid);
    end
end
end

function yes = is_character_device(file)
if exist('OCTAVE_VERSION', 'builtin') ~= 0
    [info, err] = feval('stat', file);
    yes = err == 0 && feval('S_ISCHR', info.mode);
else
    % MATLAB has no stat: the shell's test tells the kind of file.
    yes = system(['test -c ''' file '''']) == 0;
end
end
