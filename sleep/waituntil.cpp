// waituntil: waits until an absolute time on clockread's timebase, with the
// platform's timer until spin seconds before it, then by reading the counter.
//
// [w, spin] = waituntil(t) or waituntil(t, spin) returns once clockread()
// would answer t or more; w is the counter reading taken as it returns, in
// seconds, and spin the busy part the call allowed. A t already past returns
// at once. Without a spin given, the spin follows how late the timer woke in
// this file's recent calls. Ctrl+C ends a wait the way the host stops.
#include "counter.h"
#include "deadline.h"
#include "mex.h"

#include <cmath>

constexpr int MAX_OUTPUTS = 2;

using mextime::is_real_double_scalar;
using mextime::seconds;

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
    const double ahead = t - seconds(now, frequency);
    if (!(ahead < mextime::MAX_WAIT_SECONDS))
        mexErrMsgIdAndTxt("MATLAB:waituntil:invalidDeadline",
                          "Deadline must be a clockread time less than 4294967 seconds away.");
    const double spin =
        mextime::requested_spin(nrhs, prhs, t, now, frequency, "MATLAB:waituntil:invalidSpin");

    // Slips, told before the wait so that Ctrl+C can end it. A T of 0 or
    // less cannot be a clockread time (which counts from boot): it asks for
    // no wait, as the warm-up call waituntil(0) does.
    if (t > 0 && -ahead > mextime::PAST_WARNING_SECONDS)
        mexWarnMsgIdAndTxt("MATLAB:waituntil:pastDeadline",
                           "Deadline %.6g is %.0f s past: T is a clockread time; for %.6g s from now, "
                           "use clockread + %.6g.",
                           t, -ahead, t, t);
    if (ahead > mextime::AHEAD_WARNING_SECONDS)
        mexWarnMsgIdAndTxt("MATLAB:waituntil:farDeadline",
                           "Deadline is %.0f s away: T is a clockread time in seconds, not a date; for "
                           "5 s from now, use clockread + 5.",
                           ahead);

    // Every check is behind us.
    mextime::wait_and_answer(nlhs, plhs, t, spin, now, frequency, "MATLAB:waituntil:interrupted");
}
