// rtrestore: the ordinary priority again, undoing rtboost.
//
// rtrestore() lowers the process first, then the thread that called it, to
// what an ordinary program has. Every refusal is silent.
#include "mex.h"
#include "priority.h"

// No input is read and no output set, as rtboost: the effect is the answer.
void mexFunction(int, mxArray *[], int, const mxArray *[]) {
    mextime::restore_process();
    mextime::restore_calling_thread();
}
