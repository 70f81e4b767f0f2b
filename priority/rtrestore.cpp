// rtrestore: undoing rtboost.
//
// rtrestore(old) gives back the standing that old = rtboost() answered,
// the process first, then the thread that called it; rtrestore() gives
// both the ordinary priority instead. Every refusal of the system is
// silent; an old that is not one rtboost answered on this platform is
// refused before anything changes.
#include "mex.h"
#include "priority.h"

void mexFunction(int nlhs, mxArray *[], int nrhs, const mxArray *prhs[]) {
    if (nrhs > 1) mexErrMsgIdAndTxt("MATLAB:rtrestore:invalidNumInputs", "At most one input allowed.");
    if (nlhs > 0) mexErrMsgIdAndTxt("MATLAB:rtrestore:maxlhs", "Too many output arguments.");
    if (nrhs == 0) {
        mextime::restore_process();
        mextime::restore_calling_thread();
        return;
    }
    const mxArray *old = prhs[0];
    mextime::Standing standing;
    if (!mxIsDouble(old) || mxIsComplex(old) || mxIsSparse(old) ||
        !mextime::accept_standing(mxGetPr(old), mxGetNumberOfElements(old), standing))
        mexErrMsgIdAndTxt("MATLAB:rtrestore:invalidInput",
                          "Input must be a priority that rtboost answered on this platform.");
    mextime::restore_process(standing);
    mextime::restore_calling_thread(standing);
}
