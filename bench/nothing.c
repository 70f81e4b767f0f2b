/* nothing: a MEX file that returns at once, so timing it times the host's
 * own cost of entering a MEX file and nothing else. */
#include "mex.h"

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    (void)nlhs;
    (void)plhs;
    (void)nrhs;
    (void)prhs;
}
