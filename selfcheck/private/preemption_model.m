function [model, source] = preemption_model(version, debug, cmdline, config)
% How the Linux kernel preempts, from what it tells: the text of
% /proc/version, /sys/kernel/debug/sched/preempt (root, with debugfs),
% /proc/cmdline and the kernel's build options. MODEL is 'none',
% 'voluntary', 'full', 'lazy', 'rt', 'none or voluntary', or '' where
% nothing tells; SOURCE says what told it.
model = '';
source = '';
% The debugfs file marks the mode in use: "none voluntary (full) lazy".
chosen = regexp(debug, '\((none|voluntary|full|lazy)\)', 'tokens', 'once');
if ~isempty(chosen)
    model = chosen{1};
    source = 'sched/preempt in debugfs';
    return;
end
built = config_choice(config);
if ~isempty(regexp(version, 'PREEMPT_RT', 'once')) || strcmp(built, 'rt')
    model = 'rt';
    source = 'a PREEMPT_RT kernel';
    return;
end
if ~isempty(regexp(version, 'PREEMPT_DYNAMIC', 'once'))
    % The mode is chosen at boot: preempt= on the command line, else the
    % kernel's built-in default.
    asked = regexp(cmdline, '(^|\s)preempt=(none|voluntary|full|lazy)(\s|$)', 'tokens', 'once');
    if ~isempty(asked)
        model = asked{2};
        source = sprintf('PREEMPT_DYNAMIC, preempt=%s on the kernel command line', model);
    elseif ~isempty(built)
        model = built;
        source = sprintf('PREEMPT_DYNAMIC, the default %s of its build options', model);
    end
    return;
end
if ~isempty(regexp(version, '\sPREEMPT\s', 'once'))
    model = 'full';
    source = 'a PREEMPT kernel';
elseif ~isempty(built)
    model = built;
    source = sprintf('the kernel''s build options (%s)', model);
elseif ~isempty(version)
    model = 'none or voluntary';
    source = 'a kernel built without PREEMPT';
end
end

function choice = config_choice(config)
% The preemption model the kernel was built with, '' where not told.
names = {'CONFIG_PREEMPT_RT', 'rt'; 'CONFIG_PREEMPT_LAZY', 'lazy'; 'CONFIG_PREEMPT', 'full'; ...
    'CONFIG_PREEMPT_VOLUNTARY', 'voluntary'; 'CONFIG_PREEMPT_NONE', 'none'};
choice = '';
for k = 1:size(names, 1)
    if ~isempty(regexp(config, ['(^|\n)' names{k, 1} '=y'], 'once'))
        choice = names{k, 2};
        return;
    end
end
end
