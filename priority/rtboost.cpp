// rtboost: real-time priority for the host process and the calling thread.
//
// rtboost() raises the process first, then the thread that called it, and
// leaves both raised for good: nothing here ever lowers them again. Every
// refusal is silent; the thread step runs whatever the process step gave.
#include "mex.h"
#include "priority.h"

// No input is read and no output set: the effect is the answer.
void mexFunction(int, mxArray *[], int, const mxArray *[]) {
    mextime::raise_process();
    mextime::raise_calling_thread();
}
