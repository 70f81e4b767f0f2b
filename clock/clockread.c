/* clockread: the platform's high-resolution counter, in seconds.
 *
 * t = clockread() returns counter ticks divided by ticks per second. The
 * origin is the counter's own zero, so only differences between two calls
 * mean anything. */
#include "mex.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#ifdef _WIN32
static int query_frequency(int64_t *ticks_per_second) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return 0;
    *ticks_per_second = frequency.QuadPart;
    return 1;
}

static int64_t read_counter(void) {
    LARGE_INTEGER counter = {0};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}
#else
enum { NANOSECONDS_PER_SECOND = 1000000000 };

/* CLOCK_MONOTONIC counts in nanoseconds whatever its resolution, so the rate
 * is fixed; asking for the resolution tells whether the clock exists. */
static int query_frequency(int64_t *ticks_per_second) {
    struct timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return 0;
    *ticks_per_second = NANOSECONDS_PER_SECOND;
    return 1;
}

static int64_t read_counter(void) {
    struct timespec now = {0, 0};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * NANOSECONDS_PER_SECOND + now.tv_nsec;
}
#endif

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    int64_t frequency = 0;
    int64_t counter;
    (void)prhs;

    if (!query_frequency(&frequency))
        mexErrMsgIdAndTxt("MATLAB:tsec:failure", "QueryPerformanceFrequency failure.");
    if (nrhs != 0) mexErrMsgIdAndTxt("MATLAB:tsec:invalidNumInputs", "No input required.");
    if (nlhs > 1) mexErrMsgIdAndTxt("MATLAB:tsec:maxlhs", "Too many output arguments.");

    counter = read_counter();
    /* Slot 0 is filled even when nlhs is 0: the host returns it as ans. */
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    *mxGetPr(plhs[0]) = (double)counter / (double)frequency;
}
