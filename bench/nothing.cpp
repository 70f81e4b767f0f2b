// nothing: a MEX file that returns at once, so timing it times the host's
// own cost of entering a MEX file and nothing else.
#include "mex.h"

void mexFunction(int, mxArray *[], int, const mxArray *[]) {}
