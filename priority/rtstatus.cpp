// rtstatus: what priority the process and the calling thread have now.
//
// [realtime, process, thread, platform] = rtstatus() answers whether the
// calling thread runs in real time, then the platform's words for the
// process's standing and the thread's, as a log can hold them, then what
// the platform grants the waits and the raise, as name=value pairs.
#include "mex.h"
#include "priority.h"

constexpr int MAX_OUTPUTS = 4;

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *[]) {
    if (nrhs != 0) mexErrMsgIdAndTxt("MATLAB:rtstatus:invalidNumInputs", "No input required.");
    if (nlhs > MAX_OUTPUTS) mexErrMsgIdAndTxt("MATLAB:rtstatus:maxlhs", "Too many output arguments.");

    mextime::Status status;
    mextime::read_status(status);
    // Slot 0 is filled even when nlhs is 0: the host returns it as ans.
    plhs[0] = mxCreateLogicalScalar(status.realtime);
    if (nlhs > 1) plhs[1] = mxCreateString(status.process);
    if (nlhs > 2) plhs[2] = mxCreateString(status.thread);
    // Read only when asked for: on Windows it makes and closes a timer.
    if (nlhs > 3) {
        mextime::read_platform(status);
        plhs[3] = mxCreateString(status.platform);
    }
}
