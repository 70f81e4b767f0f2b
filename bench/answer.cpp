// answer: a MEX file that only hands back a 1x1 double, as clockread does,
// without reading any clock: what the host spends on the answer alone.
#include "mex.h"

void mexFunction(int, mxArray *plhs[], int, const mxArray *[]) {
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    *mxGetPr(plhs[0]) = 1;
}
