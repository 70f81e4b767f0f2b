// sleep: waits a whole number of milliseconds, with the timer resolution
// held at 1 ms for exactly the wait.
//
// sleep(ms) uses element 0 of ms (the real part if complex), truncated
// toward zero; anything below 1 waits 0 ms. The answer is a 1x1 double 0,
// so a bare call still has something to show as ans. Where the platform
// waits in slices (Linux), Ctrl+C ends a wait the way the host stops.
#include "interrupt.h"
#include "mex.h"
#include "timer.h"

#include <cmath>

// Sleep reads the all-ones count (INFINITE) as a wait that never ends, so
// the longest wait accepted is one millisecond short of it.
constexpr double ENDLESS_WAIT_MS = 4294967295.0;

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    // Before anything else: a call that cannot hand back its answers must
    // not wait first.
    if (nlhs > 1) mexErrMsgIdAndTxt("MATLAB:sleep:maxlhs", "Too many output arguments.");
    if (nrhs < 1) mexErrMsgIdAndTxt("MATLAB:sleep:invalidNumInputs", "One input required.");
    if (!mxIsDouble(prhs[0]) || mxIsSparse(prhs[0]) || mxGetNumberOfElements(prhs[0]) == 0)
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidInput",
                          "Duration must be a non-empty full double array.");

    // Slot 0 is filled even when nlhs is 0: the host returns it as ans.
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    const double duration = mxGetPr(prhs[0])[0];
    if (std::isnan(duration))
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidDuration", "Duration must not be NaN.");
    if (duration >= ENDLESS_WAIT_MS)
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidDuration",
                          "Duration must be less than 4294967295 milliseconds.");
    // Truncation toward zero; below 1 (negatives, -Inf) is 0 rather than an
    // undefined conversion.
    const std::uint32_t ms = duration < 1 ? 0 : static_cast<std::uint32_t>(duration);

    // Every error is behind us: the request is always released, by the
    // wait as it ends. The wait counts from here, so the request's own cost
    // is spent inside it.
    const mextime::PlannedWait wait = mextime::plan_wait(ms);
    mextime::ResolutionRelease release = mextime::request_resolution();
    const mextime::HostStop stop = mextime::wait_planned(wait, release);
    // Octave stops the script as the call returns.
    if (stop == mextime::HostStop::Error)
        mexErrMsgIdAndTxt("MATLAB:sleep:interrupted", "Interrupted before the deadline.");
}
