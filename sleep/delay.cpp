// delay: waits a number of seconds from the call, with waituntil's wait.
//
// [w, spin] = delay(s) or delay(s, spin) returns once clockread() would
// answer the reading taken as the call starts plus s, or more; w is the
// counter reading taken as it returns, in seconds, and spin the busy part
// the call allowed. An s of 0 or less returns at once. Without a spin given,
// the spin follows how late the timer woke in this file's recent calls.
// Ctrl+C ends a wait the way the host stops.
#include "counter.h"
#include "deadline.h"
#include "mex.h"

#include <cmath>

constexpr int MAX_OUTPUTS = 2;
constexpr double SECONDS_PER_MINUTE = 60;
constexpr double MS_PER_SECOND = 1000;

using mextime::is_real_double_scalar;
using mextime::seconds;

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    if (nrhs < 1 || nrhs > 2)
        mexErrMsgIdAndTxt("MATLAB:delay:invalidNumInputs", "One or two inputs required.");
    if (nlhs > MAX_OUTPUTS)
        mexErrMsgIdAndTxt("MATLAB:delay:maxlhs", "Too many output arguments.");
    if (!is_real_double_scalar(prhs[0]))
        mexErrMsgIdAndTxt("MATLAB:delay:invalidDuration",
                          "Duration must be a real double scalar.");
    const double s = *mxGetPr(prhs[0]);
    if (std::isnan(s))
        mexErrMsgIdAndTxt("MATLAB:delay:invalidDuration", "Duration must not be NaN.");
    if (!(s < mextime::MAX_WAIT_SECONDS))
        mexErrMsgIdAndTxt("MATLAB:delay:invalidDuration",
                          "Duration must be less than 4294967 seconds.");
    std::int64_t frequency = 0;
    if (!mextime::query_frequency(frequency))
        mexErrMsgIdAndTxt("MATLAB:delay:failure", "The counter cannot be read.");
    // The wait counts from here: what the checks above cost is not added.
    std::int64_t now = mextime::read_counter();
    const double t = seconds(now, frequency) + s;
    const double spin =
        mextime::requested_spin(nrhs, prhs, t, now, frequency, "MATLAB:delay:invalidSpin");

    // A slip, told before the wait so that Ctrl+C can end it.
    if (s > mextime::AHEAD_WARNING_SECONDS)
        mexWarnMsgIdAndTxt("MATLAB:delay:longDelay",
                           "Delay of %.6g s is %.0f minutes: S is in seconds, not milliseconds; for "
                           "%.6g ms, use delay(%.6g).",
                           s, s / SECONDS_PER_MINUTE, s, s / MS_PER_SECOND);

    // Every check is behind us.
    mextime::wait_and_answer(nlhs, plhs, t, spin, now, frequency, "MATLAB:delay:interrupted");
}
