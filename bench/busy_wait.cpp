// busy_wait: reads the clock until the absolute time t (seconds on
// clockread's timebase) and answers the reading, with no system call of its
// own. It ends at t, so what a script measures after its return is Octave's
// own way out of a MEX call.
#include "mex.h"

#include <time.h>

void mexFunction(int, mxArray *plhs[], int, const mxArray *prhs[]) {
    const double t = mxGetPr(prhs[0])[0];
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    double now = 0;
    do {
        timespec reading{};
        clock_gettime(CLOCK_MONOTONIC, &reading);
        now = static_cast<double>(static_cast<long long>(reading.tv_sec) * 1000000000LL +
                                  reading.tv_nsec) /
              1e9;
    } while (now < t);
    *mxGetPr(plhs[0]) = now;
}
