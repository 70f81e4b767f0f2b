function [pass, failures, notes] = measure(found)
% One pass of timing at the priority the session has now. A function that
% raises is a failure of its own, and its figures stay NaN.
pass = empty_pass();
failures = {};
notes = {};
try
    pass.clockread = time_clockread();
catch err
    failures{end + 1} = sprintf('clockread: raised %s: %s', err.identifier, err.message);
end
if found.sleep
    try
        [pass.sleep, failures, notes] = time_sleep(failures);
    catch err
        failures{end + 1} = sprintf('sleep: raised %s: %s', err.identifier, err.message);
    end
end
if found.waituntil
    % The two loops of 200 trials lie apart, so that the pacing verdict
    % rests on two moments of the machine.
    try
        pass.spin = time_spin();
        [pass.waituntil, failures] = time_waituntil(failures, [], 'waituntil');
        [pass.timer, failures] = time_waituntil(failures, 0, 'waituntil(t, 0)');
        pass.trials(1) = time_trials(200, 0.010);
        pass.trials_500ms = time_trials(10, 0.500);
        pass.trials(2) = time_trials(200, 0.010);
    catch err
        failures{end + 1} = sprintf('waituntil: raised %s: %s', err.identifier, err.message);
    end
end
end

function c = time_clockread()
n = 100000;
t = zeros(1, n);
for k = 1:n
    t(k) = clockread();
end
steps = diff(t);
c = struct('n', n, 'step_us', 1e6 * min(steps(steps > 0)), ...
    'cost_us', 1e6 * (t(n) - t(1)) / (n - 1));
end

% Each wait is 1 ms, and is late by the time from its end as asked to the
% clockread just after its return: what a script sees.
function [w, failures, notes] = time_sleep(failures)
late = zeros(1, WAITS);
for k = 1:WAITS
    t0 = clockread();
    sleep(1);
    late(k) = clockread() - t0 - 0.001;
end
notes = {};
[early, note] = early_sleep(-late, WAITS);
if ~isempty(note)
    notes{end + 1} = note;
end
[w, failures] = wait_figures(late, 'sleep(1)', failures, early);
end

% With its learned spin, or with the spin given: 0 leaves the timer alone,
% whose lateness tells how promptly the platform wakes a waiting thread.
function [w, failures] = time_waituntil(failures, spin, name)
late = zeros(1, WAITS);
for k = 1:WAITS
    deadline = clockread() + 0.001;
    if isempty(spin)
        waituntil(deadline);
    else
        waituntil(deadline, spin);
    end
    late(k) = clockread() - deadline;
end
[w, failures] = wait_figures(late, name, failures, min(late) < 0);
end

function n = WAITS()
n = 300;
end

function spin = time_spin()
% A 1 kHz loop with the spin waituntil learns: its CPU share, and the
% spin it ended with.
n = 1000;
t0 = clockread() + 0.001;
cpu = cputime;
wall = clockread();
for k = 1:n
    [~, used] = waituntil(t0 + (k - 1) * 0.001);
end
spin = struct('learned_ms', 1000 * used, 'cpu_share', (cputime - cpu) / (clockread() - wall));
end

function trials = time_trials(n, period)
% The README's trial loop: each onset is read right after the wait for
% its deadline returns, when the script goes on to the trial.
onset = zeros(1, n);
t0 = clockread() + period;
for k = 1:n
    waituntil(t0 + (k - 1) * period);
    onset(k) = clockread() - t0;
    % ... one trial ...
end
trials = onset_figures(onset, period);
end
