// clockread: the platform's high-resolution counter, in seconds.
//
// t = clockread() returns counter ticks divided by ticks per second. The
// origin is the counter's own zero, so only differences between two calls
// mean anything.
#include "counter.h"
#include "mex.h"

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *[]) {
    std::int64_t frequency = 0;
    if (!mextime::query_frequency(frequency))
        mexErrMsgIdAndTxt("MATLAB:tsec:failure", "QueryPerformanceFrequency failure.");
    if (nrhs != 0) mexErrMsgIdAndTxt("MATLAB:tsec:invalidNumInputs", "No input required.");
    if (nlhs > 1) mexErrMsgIdAndTxt("MATLAB:tsec:maxlhs", "Too many output arguments.");

    const std::int64_t counter = mextime::read_counter();
    // Slot 0 is filled even when nlhs is 0: the host returns it as ans.
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    *mxGetPr(plhs[0]) = mextime::seconds(counter, frequency);
}
