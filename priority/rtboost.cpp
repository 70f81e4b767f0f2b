// rtboost: real-time priority for the host process and the calling thread.
//
// old = rtboost() reads the standing of the process and the calling thread,
// then raises the process first, then the thread that called it, and leaves
// both raised until rtrestore(old) gives the standing back. The thread step
// runs whatever the process step gave; where neither obtained anything, a
// warning says so.
#include "mex.h"
#include "priority.h"

// Inputs are ignored. The answer is made before anything is raised, so
// that no error can leave the raise without it; a bare call makes none, and
// sets no ans.
void mexFunction(int nlhs, mxArray *plhs[], int, const mxArray *[]) {
    if (nlhs > 1) mexErrMsgIdAndTxt("MATLAB:rtboost:maxlhs", "Too many output arguments.");
    if (nlhs == 1) {
        mextime::Standing before;
        if (!mextime::read_standing(before))
            mexErrMsgIdAndTxt("MATLAB:rtboost:failure", "The priority cannot be read.");
        plhs[0] = mxCreateDoubleMatrix(1, static_cast<int>(before.count), mxREAL);
        double *answer = mxGetPr(plhs[0]);
        for (std::size_t i = 0; i < before.count; ++i) answer[i] = before.fields[i];
    }
    const bool process = mextime::raise_process();
    const bool thread = mextime::raise_calling_thread();
    // Either alone still helps; nothing at all is what a script must hear of.
    if (!process && !thread) mexWarnMsgIdAndTxt("MATLAB:rtboost:notGranted", "%s", mextime::NOT_GRANTED_MESSAGE);
}
