/* sleep: waits a whole number of milliseconds, with the timer resolution
 * held at 1 ms for exactly the wait.
 *
 * sleep(ms) uses element 0 of ms (the real part if complex), truncated
 * toward zero; anything below 1 waits 0 ms. The answer is a 1x1 double 0,
 * so a bare call still has something to show as ans. */
#include "mex.h"

#include <math.h>

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#else
#include <errno.h>
#include <sys/prctl.h>
#include <time.h>
#endif

/* Sleep reads the all-ones count (INFINITE) as a wait that never ends, so
 * the longest wait accepted is one millisecond short of it. */
#define ENDLESS_WAIT_MS 4294967295.0

/* What a resolution request hands to its release: the thread's earlier
 * timer slack on POSIX, nothing on Windows, which keeps count itself. */
typedef unsigned long prior_resolution;

#ifdef _WIN32
enum { TIMER_RESOLUTION_MS = 1 };

static prior_resolution request_resolution(void) {
    timeBeginPeriod(TIMER_RESOLUTION_MS);
    return 0;
}

static void release_resolution(prior_resolution prior) {
    (void)prior;
    timeEndPeriod(TIMER_RESOLUTION_MS);
}

static void wait_ms(uint32_t ms) { Sleep(ms); }
#else
/* Linux has no system-wide timer resolution; a thread's timer slack is how
 * late its sleeps may end. 1 ns is the least, as 0 means "the default". */
enum { TIMER_SLACK_NS = 1 };
enum { MS_PER_SECOND = 1000, NS_PER_MS = 1000000, NS_PER_SECOND = 1000000000 };

static prior_resolution request_resolution(void) {
    int prior = prctl(PR_GET_TIMERSLACK);
    prctl(PR_SET_TIMERSLACK, (unsigned long)TIMER_SLACK_NS);
    /* Should the read fail, the release falls back to the default slack. */
    return prior > 0 ? (prior_resolution)prior : 0;
}

static void release_resolution(prior_resolution prior) {
    prctl(PR_SET_TIMERSLACK, prior);
}

static void wait_ms(uint32_t ms) {
    struct timespec deadline = {0, 0};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += (time_t)(ms / MS_PER_SECOND);
    deadline.tv_nsec += (long)(ms % MS_PER_SECOND) * NS_PER_MS;
    if (deadline.tv_nsec >= NS_PER_SECOND) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= NS_PER_SECOND;
    }
    /* A signal handler breaks the sleep off; the same absolute deadline
     * resumes it, so no signal shortens the wait. */
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, NULL) == EINTR) {
    }
}
#endif

/* Truncation toward zero, for a duration already known to be below
 * ENDLESS_WAIT_MS: below 1 (negatives, -Inf) is 0 rather than an undefined
 * conversion. */
static uint32_t whole_ms(double duration) {
    return duration < 1 ? 0 : (uint32_t)duration;
}

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    double duration;
    uint32_t ms;
    prior_resolution prior;
    (void)nlhs;

    if (nrhs < 1) mexErrMsgIdAndTxt("MATLAB:sleep:invalidNumInputs", "One input required.");
    if (!mxIsDouble(prhs[0]) || mxIsSparse(prhs[0]) || mxGetNumberOfElements(prhs[0]) == 0)
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidInput",
                          "Duration must be a non-empty full double array.");

    /* Slot 0 is filled even when nlhs is 0: the host returns it as ans. */
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    duration = mxGetPr(prhs[0])[0];
    if (isnan(duration))
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidDuration", "Duration must not be NaN.");
    if (duration >= ENDLESS_WAIT_MS)
        mexErrMsgIdAndTxt("MATLAB:sleep:invalidDuration",
                          "Duration must be less than 4294967295 milliseconds.");
    ms = whole_ms(duration);

    /* Every error is behind us: the request is always released. */
    prior = request_resolution();
    wait_ms(ms);
    release_resolution(prior);
}
