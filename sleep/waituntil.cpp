// waituntil: waits until an absolute time on clockread's timebase, with the
// platform's timer until spin seconds before it, then by reading the counter.
//
// w = waituntil(t) or waituntil(t, spin) returns once clockread() would
// answer t or more; w is the counter reading taken as it returns, in seconds.
// A t already past returns at once.
#include "mex.h"
#include "timer.h"

#include <cmath>

constexpr double MAX_SPIN_SECONDS = 1;
// The farthest deadline: Windows' millisecond wait reads 4294967295 as
// endless, and a deadline this far fits every counter's ticks.
constexpr double MAX_WAIT_SECONDS = 4294967;

// Exactly clockread's arithmetic, so that "clockread() would answer t or
// more" is the same comparison here.
static double seconds(std::int64_t ticks, std::int64_t frequency) {
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}

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

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    if (nrhs < 1 || nrhs > 2)
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidNumInputs", "One or two inputs required.");
    if (nlhs > 1) mexErrMsgIdAndTxt("MATLAB:waituntil:maxlhs", "Too many output arguments.");
    if (!is_real_double_scalar(prhs[0]))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline",
                          "Deadline must be a real double scalar.");
    const double t = *mxGetPr(prhs[0]);
    if (std::isnan(t))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline", "Deadline must not be NaN.");
    const std::int64_t frequency = mextime::counter_frequency();
    std::int64_t now = mextime::read_counter();
    if (!(t < seconds(now, frequency) + MAX_WAIT_SECONDS))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline",
                          "Deadline must be less than 4294967 seconds away.");
    double spin = mextime::default_spin_seconds();
    if (nrhs == 2) {
        if (!is_real_double_scalar(prhs[1]))
            mexErrMsgIdAndTxt("MATLAB:waituntil:invalidSpin",
                              "Spin must be a number of seconds from 0 to 1.");
        spin = *mxGetPr(prhs[1]);
        if (!(spin >= 0 && spin <= MAX_SPIN_SECONDS))
            mexErrMsgIdAndTxt("MATLAB:waituntil:invalidSpin",
                              "Spin must be a number of seconds from 0 to 1.");
    }

    // Every error is behind us. Slot 0 is filled even when nlhs is 0: the
    // host returns it as ans.
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    double *answer = mxGetPr(plhs[0]);

    // The timer, until spin before t; again should it end early.
    if (seconds(now, frequency) < t - spin) {
        const std::int64_t wake = first_tick_at(t - spin, frequency);
        while (now < wake) {
            mextime::wait_until(wake, now);
            now = mextime::read_counter();
        }
    }
    // The rest by reading the counter, with a pause between reads.
    while (seconds(now, frequency) < t) {
        mextime::cpu_pause();
        now = mextime::read_counter();
    }
    *answer = seconds(now, frequency);
}
