function checks = platform_checks(res)
% Whether each assumption that mextime makes about this platform and host
% holds here (docs/platforms.md lists them): one row per check with its
% name, its answer ('holds', 'does not hold' or 'cannot tell'), the figure
% it rests on, and what to do where it does not hold. From the result
% alone, so that a result kept in a lab log reads the same.
CHECKS = struct('clock_source', @check_clock_source, 'default_spin', @check_default_spin, ...
    'loads', @check_loads, 'ctrl_c', @check_ctrl_c, 'high_res_timers', @check_high_res_timers, ...
    'timer_slack', @check_timer_slack, 'preemption', @check_preemption, ...
    'rtprio_limit', @check_rtprio_limit, 'nice_limit', @check_nice_limit, ...
    'wakeup_latency', @check_wakeup_latency, 'high_res_timer', @check_high_res_timer, ...
    'timer_resolution', @check_timer_resolution, 'power_throttling', @check_power_throttling, ...
    'priority_class', @check_priority_class, 'latency_tier', @check_latency_tier, ...
    'time_constraint', @check_time_constraint, 'utc_resolution', @check_utc_resolution, ...
    'timebase', @check_timebase, 'translated', @check_translated, 'qos_class', @check_qos_class, ...
    'errors_unwind', @check_errors_unwind, 'warnings', @check_warnings);
os = res.machine.system;
matlab = strcmp(res.host, 'MATLAB');
fields = platform_fields(res.priority.before.platform);
names = {};
switch os
    case 'Linux'
        names = {'clock_source', 'high_res_timers', 'timer_slack', 'preemption', 'rtprio_limit', ...
            'nice_limit', 'wakeup_latency', 'default_spin'};
    case 'Windows'
        names = {'clock_source', 'high_res_timer', 'timer_resolution', 'power_throttling', ...
            'priority_class', 'default_spin'};
    case 'macOS'
        names = {'clock_source', 'latency_tier', 'time_constraint', 'utc_resolution', 'timebase', ...
            'translated', 'qos_class', 'default_spin'};
end
if matlab
    names = [names, {'loads', 'errors_unwind', 'warnings'}];
end
% Ctrl+C in a wait is tried here only in Octave on Linux.
if matlab || ~strcmp(os, 'Linux')
    names{end + 1} = 'ctrl_c';
end
[~, first] = unique(names);
names = names(sort(first));
checks = struct('name', names, 'verdict', '', 'figure', '', 'advice', '');
for k = 1:numel(names)
    [verdict, figure, advice] = feval(CHECKS.(names{k}), res, fields);
    checks(k).verdict = verdict;
    checks(k).figure = figure;
    checks(k).advice = advice;
end
end

% --- Every platform --------------------------------------------------------

function [verdict, figure, advice] = check_clock_source(res, ~)
% Timestamps and waits are read from a counter much finer than 1 ms. A
% script sees steps no smaller than a call's cost, so a step of a few us
% is the call, and a coarse clock (Linux's jiffies: 4 ms) stands out.
FINE_US = 10;
counters = struct('Linux', res.machine.clock_source, 'Windows', 'QueryPerformanceCounter', ...
    'macOS', 'mach_absolute_time');
c = res.normal.clockread;
figure = sprintf('%s; clockread steps of %.3f us, %.2f us a call', ...
    counters.(res.machine.system), c.step_us, c.cost_us);
advice = ['clockread is only as fine as this step: on Linux pick a finer clock source ' ...
    '(/sys/devices/system/clocksource/clocksource0/available_clocksource), such as tsc.'];
verdict = answer(c.step_us <= FINE_US, isnan(c.step_us));
end

function [verdict, figure, advice] = check_default_spin(res, ~)
% The timer alone ends within the spin that waits start with and learn
% below: 0.5 ms on Linux and macOS, 1 ms on Windows.
DEFAULT_SPIN_MS = struct('Linux', 0.5, 'Windows', 1, 'macOS', 0.5);
spin = DEFAULT_SPIN_MS.(res.machine.system);
[pass, which] = best_pass(res);
p99 = pass.timer.p99_ms;
figure = sprintf('the timer alone (waituntil(t, 0)) ends %.3f ms late at p99 %s, against a default spin of %g ms', ...
    p99, which, spin);
advice = sprintf(['the learned spin stops at %g ms, short of the timer''s tail here: where every trial ' ...
    'must be on time, give a spin above it, waituntil(t, %g).'], spin, ceil(p99 * 2) / 2 / 1000);
verdict = answer(p99 <= spin, isnan(p99));
end

function [verdict, figure, advice] = check_loads(res, ~)
% MATLAB exports the names the files bind (mxCreateDoubleMatrix_700 and
% the others of gateway/), and macOS accepts the files' ad hoc signature:
% otherwise a call refuses to load, raising an error of the host.
advice = 'a MEX file did not load: send the FAILED lines above with a bug report, and say which MATLAB this is.';
mex = {};
names = fieldnames(res.functions);
for k = 1:numel(names)
    [~, ~, ext] = fileparts(res.functions.(names{k}));
    if ~isempty(regexp(ext, '^\.mex', 'once'))
        mex{end + 1} = names{k}; %#ok<AGROW>
    end
end
raised = mex(cellfun(@(name) any(strncmp(res.failures, [name ': raised '], numel(name) + 9)), mex));
figure = sprintf('%d of %d MEX files loaded and answered', numel(mex) - numel(raised), numel(mex));
if ~isempty(raised)
    figure = sprintf('%s; not %s', figure, strjoin(raised, ', '));
end
verdict = answer(isempty(raised), isempty(mex));
end

function [verdict, figure, advice] = check_ctrl_c(~, ~)
% The host's Ctrl+C reaches a wait (MATLAB's utIsInterruptPending, Octave's
% flags on Windows and macOS): a check cannot press the keys.
figure = ['by hand: type delay(10) and press Ctrl+C; it must stop within a second (MATLAB: ' ...
    'error MATLAB:delay:interrupted; Octave: the script stops)'];
advice = '';
verdict = 'cannot tell';
end

% --- Linux -----------------------------------------------------------------

function [verdict, figure, advice] = check_high_res_timers(~, fields)
% The kernel's high-resolution timers: the waits' timer steps by 1 ns, not
% by the periodic tick.
[ns, told] = number_of(fields.timer_resolution_ms);
ns = 1e6 * ns;
figure = sprintf('CLOCK_MONOTONIC timers step by %s ns', text_of(ns, fields.timer_resolution_ms));
advice = ['the kernel runs without high-resolution timers (CONFIG_HIGH_RES_TIMERS, or highres=off ' ...
    'on its command line): every wait ends on the periodic tick, up to a few ms late.'];
verdict = answer(ns <= 1000, ~told, fields.timer_resolution_ms);
end

function [verdict, figure, advice] = check_timer_slack(~, fields)
% The waits set the thread's timer slack to 1 ns for their own time
% (prctl); where the kernel refuses, they may end a slack late.
[slack, told] = number_of(fields.timer_slack_ns);
figure = sprintf('the thread''s slack outside a wait reads %s ns; a wait sets 1 ns for its own time', ...
    text_of(slack, fields.timer_slack_ns));
advice = ['prctl(PR_SET_TIMERSLACK) is refused here (a sandbox''s filter), so waits may end up to ' ...
    'the default slack (50 us) late.'];
verdict = answer(told, strcmp(fields.timer_slack_ns, 'n/a'));
end

function [verdict, figure, advice] = check_preemption(res, ~)
% The kernel preempts its own work for a woken real-time thread.
model = res.machine.preemption;
figure = sprintf('preemption %s (%s)', text_of(NaN, model), res.machine.preemption_source);
if isempty(model)
    figure = 'the kernel does not tell its preemption model';
end
advice = ['a woken thread may wait for the kernel''s work on its CPU, which no priority shortens: ' ...
    'boot with preempt=full (a PREEMPT_DYNAMIC kernel) or run a low-latency or PREEMPT_RT kernel.'];
verdict = answer(any(strcmp(model, {'full', 'lazy', 'rt'})), isempty(model));
end

function [verdict, figure, advice] = check_rtprio_limit(res, fields)
% rtboost obtains SCHED_FIFO 80 with CAP_SYS_NICE, and without it the
% real-time priority that RLIMIT_RTPRIO permits, none at 0.
p = res.priority;
advice = ['the kernel refused the real-time policy that the limit permits: a container, or a ' ...
    'control group without real-time runtime (cpu.rt_runtime_us), refuses it.'];
[verdict, figure] = not_raised(p);
if ~isempty(verdict)
    return;
end
[limit, told] = number_of(fields.rlimit_rtprio);
privileged = strcmp(fields.privileged, 'yes') || strcmp(fields.rlimit_rtprio, 'unlimited');
wanted = p.before.thread;
if privileged || limit >= 80
    wanted = 'fifo 80';
elseif limit > 0
    wanted = sprintf('fifo %d', limit);
end
figure = sprintf('RLIMIT_RTPRIO %s, CAP_SYS_NICE %s: rtboost obtained ''%s'', the limit permits ''%s''', ...
    fields.rlimit_rtprio, fields.privileged, p.boosted.thread, wanted);
verdict = answer(strcmp(p.boosted.thread, wanted), ~(told || privileged) || ...
    ~any(strcmp(fields.privileged, {'yes', 'no'})));
end

function [verdict, figure, advice] = check_nice_limit(res, fields)
% rtboost obtains nice -20 with CAP_SYS_NICE, and without it the nice
% value 20 - RLIMIT_NICE where that is stronger than the one it has.
p = res.priority;
advice = 'the kernel refused the nice value that RLIMIT_NICE permits.';
[verdict, figure] = not_raised(p);
if ~isempty(verdict)
    return;
end
[limit, told] = number_of(fields.rlimit_nice);
before = sscanf(p.before.process, 'nice %d');
privileged = strcmp(fields.privileged, 'yes') || strcmp(fields.rlimit_nice, 'unlimited');
if privileged
    wanted = -20;
else
    wanted = min(before, max(-20, 20 - limit));
end
figure = sprintf('RLIMIT_NICE %s, CAP_SYS_NICE %s: rtboost obtained ''%s'', the limit permits ''nice %d''', ...
    fields.rlimit_nice, fields.privileged, p.boosted.process, wanted);
verdict = answer(strcmp(p.boosted.process, sprintf('nice %d', wanted)), ~(told || privileged) || ...
    ~any(strcmp(fields.privileged, {'yes', 'no'})) || isempty(before));
end

function [verdict, figure, advice] = check_wakeup_latency(res, ~)
% The waits hold a PM QoS request on /dev/cpu_dma_latency, which keeps the
% CPUs out of idle states too deep to wake from at once.
request = res.wakeup_latency_request;
figure = '/dev/cpu_dma_latency opens for writing';
if isequal(request, false)
    figure = '/dev/cpu_dma_latency does not open for writing';
end
advice = ['let the waits hold their request: the udev rule in help sleep ' ...
    '(KERNEL=="cpu_dma_latency", GROUP="audio", MODE="0660").'];
verdict = answer(isequal(request, true), isempty(request));
end

% --- Windows ---------------------------------------------------------------

function [verdict, figure, advice] = check_high_res_timer(res, fields)
% waituntil and delay wait on a high-resolution waitable timer (Windows 10
% 1803 and later), which wakes within half a millisecond.
p50 = res.normal.timer.p50_ms;
figure = sprintf('a high-resolution timer: %s; the timer alone ends %.3f ms late at p50', ...
    fields.high_resolution_timer, p50);
advice = ['without it waits use Sleep at 1 ms resolution and end up to 2 ms late before their ' ...
    'spin: update Windows (10 1803 or later), or give a spin of 2 ms, waituntil(t, 0.002).'];
verdict = answer(~strcmp(fields.high_resolution_timer, 'no') && p50 < 0.5, isnan(p50));
end

function [verdict, figure, advice] = check_timer_resolution(res, fields)
% sleep's bracket is granted 1 ms timer resolution, so sleep(1) ends
% within a tick of 1 ms rather than of 15.6 ms.
p50 = res.normal.sleep.p50_ms;
figure = sprintf('sleep(1) ends %.3f ms late at p50; the resolution reads %s ms now, from %s ms', ...
    p50, fields.timer_resolution_ms, fields.timer_resolution_range_ms);
advice = ['Windows did not grant 1 ms timer resolution: pace with waituntil, and keep MATLAB''s ' ...
    'window visible (Windows 11 may ignore the request of a hidden one).'];
verdict = answer(p50 < 1.5, isnan(p50));
end

function [verdict, figure, advice] = check_power_throttling(~, fields)
% Windows 11 keeps the timer resolution of a hidden or minimised process
% once it opts out, as sleep's bracket does.
state = fields.power_throttling;
figure = sprintf('the opt-out from timer throttling reads ''%s''', state);
if any(strcmp(state, {'unknown', 'n/a'}))
    figure = [figure ' (Windows before 11 22H2 does not tell)'];
end
advice = 'Windows refused the opt-out: keep MATLAB''s window visible while trials run.';
verdict = answer(strcmp(state, 'kept'), ~any(strcmp(state, {'kept', 'default', 'ignored'})));
end

function [verdict, figure, advice] = check_priority_class(res, fields)
% rtboost obtains the real-time class in a MATLAB run as administrator,
% and the high class in any other.
p = res.priority;
advice = 'Windows granted another class than the account allows: send this line with a bug report.';
[verdict, figure] = not_raised(p);
if ~isempty(verdict)
    return;
end
wanted = 'high';
if strcmp(fields.privileged, 'yes')
    wanted = 'realtime';
end
figure = sprintf('run as administrator: %s; rtboost obtained ''%s'', the account allows ''%s''', ...
    fields.privileged, p.boosted.process, wanted);
verdict = answer(strcmp(p.boosted.process, wanted), ~any(strcmp(fields.privileged, {'yes', 'no'})));
end

% --- macOS -----------------------------------------------------------------

function [verdict, figure, advice] = check_latency_tier(~, fields)
% A wait's thread is granted latency QoS tier 0, so its timers fire at
% their deadline rather than coalesced with others'.
figure = sprintf('asked for latency tier 0, the thread gets tier %s', fields.latency_tier);
advice = 'macOS coalesces the waits'' timers: give a spin of 2 ms, waituntil(t, 0.002).';
verdict = answer(strcmp(fields.latency_tier, '0'), not_told(fields.latency_tier));
end

function [verdict, figure, advice] = check_time_constraint(res, fields)
% rtboost's time-constraint policy is granted, and kept through a pass of
% work: macOS demotes a thread that overruns its computation.
p = res.priority;
advice = ['macOS took the time constraint back after the thread overran it: keep work between ' ...
    'waits short, or run without rtboost.'];
[verdict, figure] = not_raised(p);
if ~isempty(verdict)
    return;
end
kept = 'n/a';
if ~isempty(p.kept)
    kept = platform_fields(p.kept.platform).policy;
end
figure = sprintf('rtboost obtained ''%s''; after the pass the kernel''s policy is ''%s''', p.boosted.thread, kept);
if ~strcmp(p.boosted.thread, 'time constraint')
    verdict = 'does not hold';
    advice = 'macOS refused the time-constraint policy: send this line with a bug report.';
else
    verdict = answer(strcmp(kept, 'rr'), not_told(kept));
end
end

function [verdict, figure, advice] = check_utc_resolution(res, fields)
% clock_getres reports the UTC clock's step of 1 us, which clockutc adds
% to its uncertainty.
figure = sprintf('clock_getres(CLOCK_REALTIME) reports %s ns; clockutc pairs within %.3f us', ...
    fields.utc_resolution_ns, 1e6 * res.utc_uncertainty);
advice = 'clockutc''s uncertainty leaves out the UTC clock''s true step: add 1 us to it.';
verdict = answer(strcmp(fields.utc_resolution_ns, '1000'), not_told(fields.utc_resolution_ns));
end

function [verdict, figure, advice] = check_timebase(~, fields)
% The counter ticks a whole number of times per second (1/1 on Intel
% Macs, 125/3 on Apple silicon), which clockread divides by.
figure = sprintf('mach_timebase_info: %s ns a tick', fields.timebase);
advice = 'this timebase makes every clockread answer inexact: send this line with a bug report.';
ratio = sscanf(fields.timebase, '%d/%d');
whole = numel(ratio) == 2 && all(ratio > 0) && mod(1e9 * ratio(2), ratio(1)) == 0;
verdict = answer(whole, not_told(fields.timebase));
end

function [verdict, figure, advice] = check_translated(~, fields)
% The files run natively: an Intel MATLAB on Apple silicon runs under
% Rosetta, which translates every counter read and wait.
figure = sprintf('running translated (Rosetta): %s', fields.translated);
advice = 'use MATLAB for Apple silicon and the maca64 files.';
verdict = answer(strcmp(fields.translated, 'no'), not_told(fields.translated));
end

function [verdict, figure, advice] = check_qos_class(~, fields)
% The script's thread runs at an ordinary QoS class or above: utility and
% background threads are kept to the efficiency cores and their timers
% are coalesced.
figure = sprintf('the script''s thread has QoS class %s', fields.qos_class);
advice = 'MATLAB runs at a background QoS class here: start it from the Dock or a Terminal, not from a background job.';
verdict = answer(~any(strcmp(fields.qos_class, {'utility', 'background', 'maintenance'})), ...
    not_told(fields.qos_class));
end

% --- MATLAB ----------------------------------------------------------------

function [verdict, figure, advice] = check_errors_unwind(res, ~)
% MATLAB's errors, raised as C++ exceptions, pass through the MEX files'
% frames (their unwind tables): each bad call ends in its error.
c = res.error_checks;
figure = sprintf('%d of %d bad calls raised their error', c.run - c.failed, c.run);
advice = 'send the FAILED lines above with a bug report, and say which MATLAB this is.';
verdict = answer(c.failed == 0, c.run == 0);
end

function [verdict, figure, advice] = check_warnings(res, ~)
% mexWarnMsgIdAndTxt gives a warning MATLAB shows and can silence: rtboost
% warns MATLAB:rtboost:notGranted where it obtains nothing.
p = res.priority;
advice = 'rtboost obtained nothing and no warning came: send this line with a bug report.';
[verdict, figure] = not_raised(p);
if ~isempty(verdict)
    return;
end
if p.obtained
    verdict = 'cannot tell';
    figure = 'rtboost obtained a priority, so it gave no warning to see';
    return;
end
figure = sprintf('rtboost obtained nothing and warned ''%s''', p.warning);
verdict = answer(strcmp(p.warning, 'MATLAB:rtboost:notGranted'), false);
end

% --- Shared ----------------------------------------------------------------

function verdict = answer(holds, unknown, value)
% 'cannot tell' where the figure is missing, whatever HOLDS says; a value
% that could not be read ('unknown') does not hold.
if nargin > 2 && strcmp(value, 'unknown')
    verdict = 'does not hold';
elseif unknown
    verdict = 'cannot tell';
elseif holds
    verdict = 'holds';
else
    verdict = 'does not hold';
end
end

function [verdict, figure] = not_raised(p)
% '' where rtboost ran from the ordinary priority and rtstatus answered
% after it; otherwise why the check cannot tell.
verdict = '';
figure = '';
if ~strcmp(p.state, 'normal')
    verdict = 'cannot tell';
    figure = sprintf('rtboost was not called: the priority was found %s', p.state);
elseif isempty(p.boosted) || isempty(p.boosted.process)
    verdict = 'cannot tell';
    figure = 'rtboost or rtstatus did not answer';
end
end

function [pass, which] = best_pass(res)
% The pass with rtboost where it ran: the priority trials would run at.
if isempty(res.boosted)
    pass = res.normal;
    which = 'without rtboost';
else
    pass = res.boosted;
    which = 'with rtboost';
end
end

function [x, told] = number_of(text)
x = str2double(text);
told = ~isnan(x);
end

function text = text_of(x, raw)
if isnan(x)
    text = raw;
else
    text = sprintf('%.15g', x);
end
end

function yes = not_told(value)
yes = any(strcmp(value, {'n/a', 'unknown', ''}));
end
