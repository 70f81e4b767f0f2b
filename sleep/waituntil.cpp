// waituntil: waits until an absolute time on clockread's timebase, with the
// platform's timer until spin seconds before it, then by reading the counter.
//
// [w, spin] = waituntil(t) or waituntil(t, spin) returns once clockread()
// would answer t or more; w is the counter reading taken as it returns, in
// seconds, and spin the busy part the call allowed. A t already past returns
// at once. Without a spin given, the spin follows how late the timer woke in
// this process's recent calls. Ctrl+C ends a wait with an error.
#include "counter.h"
#include "interrupt.h"
#include "mex.h"
#include "timer.h"

#include <cmath>

constexpr int MAX_OUTPUTS = 2;
constexpr double MAX_SPIN_SECONDS = 1;
// The farthest deadline: Windows' millisecond wait reads 4294967295 as
// endless, and a deadline this far fits every counter's ticks.
constexpr double MAX_WAIT_SECONDS = 4294967;
// How often a timer wait stops to ask the host whether Ctrl+C was pressed.
constexpr double POLL_SECONDS = 0.05;

// The learned spin. 1.5 times the worst of the last 32 wake-ups: in 2,000
// waits of a 1 kHz loop on a 2-core VM, 0.25% woke later than that, for a
// third of the fixed default's CPU time.
constexpr int WAKE_RECORD_SIZE = 32;
constexpr double SPIN_MARGIN = 1.5;
// Below this the spin would save little CPU, and a timer's own jitter is of
// this order even on a quiet machine.
constexpr double LEAST_SPIN_SECONDS = 20e-6;
// A record older than this may no longer describe the machine (the first
// wake-ups after an idle spell came later there), so learning starts over.
constexpr double CALM_SECONDS = 1;

// clockread's arithmetic, so that "clockread() would answer t or more" is
// the same comparison here.
using mextime::seconds;

static bool is_real_double_scalar(const mxArray *array) {
    return mxIsDouble(array) && !mxIsComplex(array) && !mxIsSparse(array) &&
           mxGetNumberOfElements(array) == 1;
}

// The first counter reading that clockread would answer as `at` (> 0) or
// more. Truncated, then stepped up: no libm call.
static std::int64_t first_tick_at(double at, std::int64_t frequency) {
    std::int64_t ticks = static_cast<std::int64_t>(at * static_cast<double>(frequency));
    while (seconds(ticks, frequency) < at) ++ticks;
    return ticks;
}

namespace {

// How late the timer woke and was closed, in ticks past its deadline, in
// the last calls that used it. It lives as long as the loaded file:
// `clear waituntil` starts it over.
struct WakeRecord {
    std::int64_t late[WAKE_RECORD_SIZE];
    int count;
    int next;
    std::int64_t last_wake;
};

WakeRecord wakes;

double learned_spin(std::int64_t now, std::int64_t frequency) {
    const double most = mextime::default_spin_seconds();
    if (wakes.count > 0 && seconds(now - wakes.last_wake, frequency) > CALM_SECONDS) wakes.count = 0;
    std::int64_t worst = -1;
    for (int i = 0; i < wakes.count; ++i)
        if (wakes.late[i] > worst) worst = wakes.late[i];
    if (worst < 0) return most;
    const double spin = SPIN_MARGIN * seconds(worst, frequency);
    return spin < LEAST_SPIN_SECONDS ? LEAST_SPIN_SECONDS : spin > most ? most : spin;
}

void remember_wake(std::int64_t late, std::int64_t now) {
    wakes.late[wakes.next] = late;
    wakes.next = (wakes.next + 1) % WAKE_RECORD_SIZE;
    if (wakes.count < WAKE_RECORD_SIZE) ++wakes.count;
    wakes.last_wake = now;
}

}  // namespace

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    if (nrhs < 1 || nrhs > 2)
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidNumInputs", "One or two inputs required.");
    if (nlhs > MAX_OUTPUTS)
        mexErrMsgIdAndTxt("MATLAB:waituntil:maxlhs", "Too many output arguments.");
    if (!is_real_double_scalar(prhs[0]))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline",
                          "Deadline must be a real double scalar.");
    const double t = *mxGetPr(prhs[0]);
    if (std::isnan(t))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline", "Deadline must not be NaN.");
    std::int64_t frequency = 0;
    if (!mextime::query_frequency(frequency))
        mexErrMsgIdAndTxt("MATLAB:waituntil:failure", "The counter cannot be read.");
    std::int64_t now = mextime::read_counter();
    if (!(t < seconds(now, frequency) + MAX_WAIT_SECONDS))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline",
                          "Deadline must be less than 4294967 seconds away.");
    double spin;
    if (nrhs == 2) {
        if (!is_real_double_scalar(prhs[1]))
            mexErrMsgIdAndTxt("MATLAB:waituntil:invalidSpin",
                              "Spin must be a number of seconds from 0 to 1.");
        spin = *mxGetPr(prhs[1]);
        if (!(spin >= 0 && spin <= MAX_SPIN_SECONDS))
            mexErrMsgIdAndTxt("MATLAB:waituntil:invalidSpin",
                              "Spin must be a number of seconds from 0 to 1.");
    } else {
        spin = learned_spin(now, frequency);
    }

    // Every check is behind us. Slot 0 is filled even when nlhs is 0: the
    // host returns it as ans.
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    double *answer = mxGetPr(plhs[0]);
    if (nlhs > 1) {
        plhs[1] = mxCreateDoubleMatrix(1, 1, mxREAL);
        *mxGetPr(plhs[1]) = spin;
    }

    // The timer, until spin before t, in slices short enough to notice
    // Ctrl+C; again should it end early. A wait too short to be stopped
    // by hand does not ask.
    if (seconds(now, frequency) < t - spin) {
        const std::int64_t wake = first_tick_at(t - spin, frequency);
        const auto poll = static_cast<std::int64_t>(POLL_SECONDS * static_cast<double>(frequency));
        const mextime::InterruptSource interrupt =
            wake - now > poll ? mextime::find_interrupt_source() : mextime::InterruptSource{};
        mextime::Timer timer = mextime::open_timer();
        while (now < wake) {
            mextime::timer_wait(timer, wake - now > poll ? now + poll : wake, now, frequency);
            now = mextime::read_counter();
            // No answer: an interrupted call never returns before t.
            if (mextime::interrupt_pending(interrupt)) {
                mextime::close_timer(timer);
                mexErrMsgIdAndTxt("MATLAB:waituntil:interrupted",
                                  "Interrupted before the deadline.");
            }
        }
        // What the close costs comes out of the spin too.
        mextime::close_timer(timer);
        now = mextime::read_counter();
        remember_wake(now - wake, now);
    }
    // The rest by reading the counter, with a pause between reads.
    while (seconds(now, frequency) < t) {
        mextime::cpu_pause();
        now = mextime::read_counter();
    }
    *answer = seconds(now, frequency);
}
