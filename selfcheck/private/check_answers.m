function [failures, notes] = check_answers(found)
% A scalar double answer, ans set by a bare call, no wait shorter than asked.
failures = {};
notes = {};
if found.clockread
    failures = [failures, attempt('clockread', @check_clockread)];
end
if found.clockutc && found.clockread
    failures = [failures, attempt('clockutc', @check_clockutc)];
end
if found.sleep && found.clockread
    [sleep_failures, notes] = attempt('sleep', @check_sleep);
    failures = [failures, sleep_failures];
end
if found.waituntil && found.clockread
    failures = [failures, attempt('waituntil', @check_waituntil)];
end
if found.delay && found.clockread
    failures = [failures, attempt('delay', @check_delay)];
end
end

function [failures, notes] = attempt(name, check)
% A check that raises is a failure of its function, not the end of the run.
notes = {};
try
    if nargout(check) > 1
        [failures, notes] = check();
    else
        failures = check();
    end
catch err
    failures = {sprintf('%s: raised %s: %s', name, err.identifier, err.message)};
end
end

function failures = check_clockread()
failures = {};
t1 = clockread();
t2 = clockread();
if ~is_scalar_double(t1) || ~(t1 > 0)
    failures{end + 1} = 'clockread: the answer is not a positive real double scalar';
elseif ~(t2 >= t1)
    failures{end + 1} = 'clockread: a second reading was smaller than the first';
end
if ~sets_ans('clockread;')
    failures{end + 1} = 'clockread: a bare call does not set ans';
end
end

function failures = check_clockutc()
failures = {};
t0 = clockread();
[t, utc, uncertainty] = clockutc();
t1 = clockread();
if ~is_scalar_double(t) || ~is_scalar_double(utc) || ~is_scalar_double(uncertainty)
    failures{end + 1} = 'clockutc: the answers are not three real double scalars';
    return;
end
if ~(t >= t0 && t <= t1)
    failures{end + 1} = 'clockutc: t is not between two clockread readings around the call';
end
% Another reading of the same UTC clock: whole seconds apart at most.
if abs(utc - system_utc()) > 2
    failures{end + 1} = sprintf('clockutc: utc is %.1f s from the system''s UTC time', utc - system_utc());
end
if ~(uncertainty >= 0 && uncertainty < 0.1)
    failures{end + 1} = sprintf('clockutc: an uncertainty of %g s', uncertainty);
end
if ~sets_ans('clockutc;')
    failures{end + 1} = 'clockutc: a bare call does not set ans';
end
end

function utc = system_utc()
if exist('OCTAVE_VERSION', 'builtin') ~= 0
    utc = time();
else
    utc = posixtime(datetime('now', 'TimeZone', 'UTC'));
end
end

function [failures, notes] = check_sleep()
failures = {};
notes = {};
t0 = clockread();
a = sleep(2);
t1 = clockread();
if ~is_scalar_double(a) || a ~= 0
    failures{end + 1} = 'sleep: sleep(2) did not answer the double 0';
end
[early, note] = early_sleep(0.002 - (t1 - t0), 1);
if early
    failures{end + 1} = sprintf('sleep: sleep(2) returned after %.3f ms', 1000 * (t1 - t0));
elseif ~isempty(note)
    notes{end + 1} = note;
end
if ~sets_ans('sleep(0);')
    failures{end + 1} = 'sleep: a bare call does not set ans';
end
end

function failures = check_waituntil()
failures = {};
t = clockread() + 0.002;
[w, spin] = waituntil(t);
after = clockread();
if ~is_scalar_double(w) || ~is_scalar_double(spin)
    failures{end + 1} = 'waituntil: the answers are not real double scalars';
elseif w < t || after < t
    failures{end + 1} = sprintf('waituntil: returned %.3f ms before its deadline', 1000 * (t - min(w, after)));
end
t = clockread() + 0.002;
[w, spin] = waituntil(t, 0);
if w < t || spin ~= 0
    failures{end + 1} = 'waituntil: with spin 0, returned before its deadline or answered another spin';
end
% A deadline in the past returns at once, with the time of the return.
before = clockread();
w = waituntil(before - 1);
after = clockread();
if ~(w >= before && w <= after)
    failures{end + 1} = 'waituntil: a past deadline did not answer the current time';
end
if ~sets_ans('waituntil(0);')
    failures{end + 1} = 'waituntil: a bare call does not set ans';
end
end

function failures = check_delay()
failures = {};
before = clockread();
[w, spin] = delay(0.002);
after = clockread();
if ~is_scalar_double(w) || ~is_scalar_double(spin)
    failures{end + 1} = 'delay: the answers are not real double scalars';
elseif w - before < 0.002 || after < w
    failures{end + 1} = sprintf('delay: returned %.3f ms early', 1000 * (before + 0.002 - w));
end
before = clockread();
w = delay(-1);
if ~(w >= before && w <= clockread())
    failures{end + 1} = 'delay: a wait of less than 0 s did not answer the current time';
end
end

function yes = is_scalar_double(x)
yes = isa(x, 'double') && isscalar(x) && isreal(x) && ~issparse(x);
end

function yes = sets_ans(call)
clear('ans');
eval(call);
yes = exist('ans', 'var') == 1;
end
