function r = mextimecheck(varargin)
%MEXTIMECHECK  Check mextime on this machine: behaviour, timing and priority.
%   MEXTIMECHECK checks that clockread, clockutc, sleep, waituntil, delay,
%   rtboost, rtrestore and rtstatus behave as their help says on this
%   host, then measures how precise the timing is here: for about 12
%   seconds at the priority MATLAB or Octave runs at, and where RTBOOST
%   obtains a higher priority, for about 12 seconds more with it. It
%   checks each assumption mextime makes about this platform and host
%   (docs/platforms.md), and prints a table of figures, one line per
%   platform check, and one line of verdict per figure: whether 1 ms
%   pacing will hold on this machine, and what to change where it does
%   not.
%
%   R = MEXTIMECHECK() also returns every figure in a struct, for a lab
%   log or a bug report:
%     R.passed, R.failures  true when every behaviour check passed; one
%                           line per failed check, starting with the
%                           function's name
%     R.notes               what behaves as documented for this platform
%                           but is worth knowing (Windows' early Sleep)
%     R.host, R.host_version, R.computer, R.mextime_version, R.date,
%     R.functions           where each function runs from
%     R.machine             .system ('Linux', 'Windows' or 'macOS'),
%                           .os, .kernel, .cpu, .cores; on Linux
%                           .clock_source and .preemption
%     R.load                .before and .after the check: .loadavg, the
%                           load average over 1, 5 and 15 minutes (NaN
%                           on Windows), and .busy_share, the share of a
%                           core a busy loop of 0.2 s got
%     R.priority            what RTSTATUS reported before, after RTBOOST,
%                           after the pass with it (.kept) and at the
%                           end, each with its fourth answer (.platform);
%                           .state is how the check found it ('normal',
%                           'raised', 'lowered' or 'unknown'), .obtained
%                           is true when RTBOOST changed it, .restored
%                           when RTRESTORE gave it back, .warning the
%                           identifier of the warning RTBOOST gave ('')
%     R.wakeup_latency_request  Linux: whether SLEEP and WAITUNTIL can hold
%                           their PM QoS request on /dev/cpu_dma_latency;
%                           [] elsewhere
%     R.normal, R.boosted   the figures without and with RTBOOST; R.boosted
%                           is [] where RTBOOST obtained nothing or did not
%                           run
%     R.utc_uncertainty     seconds: the median of 100 CLOCKUTC pairs
%     R.utc_drift_ppm       how fast UTC moved against the counter between
%                           the check's first and last pair
%     R.seconds             how long the check took
%     R.platform            one row per platform check: .name, .verdict
%                           ('holds', 'does not hold' or 'cannot tell'),
%                           .figure (what it rests on), .advice
%     R.verdicts
%   Figures are in milliseconds (_ms) or microseconds (_us) where their
%   name says so, cpu_share a fraction of one core; NaN where a figure
%   could not be measured.
%
%   MEXTIMECHECK('report', FILE) also writes every figure, with the
%   histograms and samples of the waits and the trials, every verdict and
%   every platform check, to the JSON file FILE (docs/report.md gives its
%   fields), and prints a methods paragraph worded from the figures, which
%   it saves beside it as FILE's name with _methods.txt. It needs the
%   host's jsonencode (MATLAB R2016b or later, Octave 7 or later); without
%   it, or where FILE cannot be written, it raises an error before
%   measuring anything.
%
%   MEXTIMECHECK('plot') also draws the CDFs of how late sleep(1) and a
%   1 ms WAITUNTIL end, read after they return, in one figure. Without a
%   display (octave-cli, matlab -nodisplay) it saves the figure as
%   mextimecheck.png in the current folder instead, and prints its path.
%   MEXTIMECHECK('plot', FILE) saves it as the PNG file FILE, from an
%   invisible figure, and prints its path. Whether the figure can be drawn
%   or saved is found before measuring: where it cannot, the warning
%   mextimecheck:cannotPlot says why at once, and the check measures and
%   returns R without the plot. 'plot' and 'report' combine, in either
%   order: MEXTIMECHECK('plot', 'check.png', 'report', 'check.json').
%
%   The figures, each read with CLOCKREAD right after the call returns,
%   when the script goes on:
%     clockread   the smallest step between two calls, and the cost of
%                 one call in a loop that stores its answers;
%     sleep(1)    how late 300 waits of 1 ms end: p50, p90, p99, max;
%     waituntil   the same for 300 waits to a deadline 1 ms ahead; the
%                 spin it learned, and the CPU share of a 1 kHz loop of
%                 1,000 steps with it;
%     timer       the same for WAITUNTIL(t, 0): the timer alone, without
%                 a spin;
%     trials      two loops of 200 trials 10 ms apart, one early and one
%                 late in the pass, paced with WAITUNTIL to absolute
%                 deadlines: the jitter (standard deviation of the
%                 intervals) and the onset error against the plan at p99
%                 and at worst; and the worst onset of 10 trials 500 ms
%                 apart.
%   The pacing verdict rests on the p99 onset error of each loop of 200
%   trials (two of them may be further off), with the worst and the load
%   shown beside it: 1 ms pacing holds below 0.5 ms, holds with little
%   margin below 1 ms, and does not hold from 1 ms on. Where the two loops
%   disagree, the verdict says so and advises a rerun on a quiet machine.
%   Where pacing does not hold with margin, the verdict says what to
%   change: the priority, the PM QoS request, a fixed spin, or the
%   machine's load.
%
%   Priority: the priority is left as it was found. The pass with RTBOOST
%   runs only where MATLAB or Octave runs at the ordinary priority, and
%   RTRESTORE brings it back afterwards, also when the check is
%   interrupted (Ctrl+C). Where the priority was already raised, or
%   lowered, the timing is measured once, as found. Where RTBOOST obtains
%   nothing, its warning is not shown: the priority verdict says so.
%
%   When reporting a problem, send the printed table, or the report
%   (mextimecheck('report', 'mextimecheck.json')).
%
%   See also CLOCKREAD, CLOCKUTC, SLEEP, WAITUNTIL, RTBOOST, RTRESTORE,
%   RTSTATUS.

% The checks, the timing, the verdicts, the report and the plot are the
% functions in private/ beside this file.

% Set from CMakeLists.txt when the file is copied into a release.
MEXTIME_VERSION = '@PROJECT_VERSION@';

in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
if in_octave
    host = 'Octave';
else
    host = 'MATLAB';
end
% Errors in the options come before anything is measured; so does a plot
% that cannot be drawn, which is said at once, and the check goes on.
opts = options(varargin, host, version, exist('jsonencode') ~= 0); %#ok<EXIST> a builtin or a file
if opts.plot
    [opts.plot, opts.plot_file, why] = plot_ready(opts.plot_file, in_octave);
    if ~opts.plot
        warning('mextimecheck:cannotPlot', '%s The check measures and reports without the plot.', why);
    end
end

started = clock;
res = struct();
res.host = host;
res.host_version = version;
res.computer = computer;
if strcmp(MEXTIME_VERSION(1), '@')
    res.mextime_version = 'unreleased';
else
    res.mextime_version = MEXTIME_VERSION;
end
res.date = datestr(now, 'yyyy-mm-dd HH:MM:SS');
fprintf('mextime %s self-check in %s %s on %s, %s\n', res.mextime_version, ...
    res.host, res.host_version, res.computer, res.date);
res.machine = machine_info(in_octave);
res.load = struct('before', machine_load(), 'after', []);

% Behaviour first: what is missing or broken is named before any timing.
names = {'clockread', 'clockutc', 'sleep', 'waituntil', 'delay', 'rtboost', 'rtrestore', 'rtstatus'};
[res.functions, found, failures] = locate(names);
[error_failures, res.error_checks] = check_errors(found);
failures = [failures, error_failures];
[answer_failures, notes] = check_answers(found);
failures = [failures, answer_failures];
if ~found.clockread
    error('mextimecheck:noClockread', ...
        'clockread is not on the path: add the folder of the mextime MEX files first.');
end
first_pair = utc_pair(found);
res.wakeup_latency_request = wakeup_latency_request();

% The priority as found decides whether the pass with rtboost may run.
[before, status_failures] = read_status(found);
failures = [failures, status_failures];
state = priority_state(before);
res.priority = struct('before', before, 'boosted', [], 'kept', [], 'after', [], 'state', state, ...
    'raised_before', strcmp(state, 'raised'), 'obtained', false, 'restored', false, 'warning', '');

if strcmp(state, 'normal')
    fprintf('measuring without rtboost ...\n');
else
    fprintf('measuring at the priority found ...\n');
end
[res.normal, pass_failures, pass_notes] = measure(found);
failures = [failures, pass_failures];
notes = [notes, pass_notes];
res.boosted = [];

% Without rtrestore a normal priority could not be given back: no rtboost.
if strcmp(state, 'normal') && found.rtboost && found.rtrestore
    % Also runs if the check is interrupted from here on.
    restore = onCleanup(@() rtrestore());
    [boost_failures, res.priority.warning] = boost();
    failures = [failures, boost_failures];
    [res.priority.boosted, status_failures] = read_status(found);
    failures = [failures, status_failures];
    res.priority.obtained = ~same_status(before, res.priority.boosted);
    if res.priority.obtained
        fprintf('measuring with rtboost ...\n');
        [res.boosted, pass_failures, pass_notes] = measure(found);
        failures = [failures, pass_failures];
        notes = [notes, pass_notes];
        % What the system still grants after a pass of work: macOS may
        % take a time constraint back from a thread that overruns it.
        [res.priority.kept, status_failures] = read_status(found);
        failures = [failures, status_failures];
    end
    clear('restore');
    res.priority.restored = true;
end

[res.priority.after, status_failures] = read_status(found);
failures = [failures, status_failures];
if res.priority.restored && ~isempty(before.process) && ~same_status(before, res.priority.after)
    failures{end + 1} = sprintf('rtrestore: left %s, %s; the check found %s, %s', ...
        res.priority.after.process, res.priority.after.thread, before.process, before.thread);
end

[res.utc_uncertainty, res.utc_drift_ppm] = utc_figures(found, first_pair);
res.load.after = machine_load();
res.notes = notes;
res.failures = failures;
res.seconds = etime(clock, started);
res = conclude(res);
report(res);

% The plot before the report, which names its file: should it fail all
% the same, the figures are not lost.
plotted = '';
if opts.plot
    try
        plot_cdfs(res, opts.plot_file);
        plotted = opts.plot_file;
    catch err
        warning('mextimecheck:cannotPlot', 'The plot failed: %s', err.message);
    end
end
if ~isempty(opts.report_file)
    write_report(res, opts.report_file, opts.methods_file, plotted);
end
if nargout > 0
    r = res;
end
end

%!error id=mextimecheck:invalidOption mextimecheck ("plto")
%!error id=mextimecheck:invalidFile mextimecheck ("plot", 5)
%!error id=mextimecheck:invalidFile mextimecheck ("report")
%!error id=mextimecheck:invalidOption mextimecheck ("plot", "report", "r.json", "plot")
%!error id=mextimecheck:invalidNumInputs mextimecheck ("plot", "a.png", "report", "r.json", 1)
