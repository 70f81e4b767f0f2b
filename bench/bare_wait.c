/* bare_wait: the floor's own wait (an absolute CLOCK_MONOTONIC deadline with
 * 1 ns timer slack) entered through the host as sleep is, with the same 1x1
 * answer, so that timing it in Octave shows what the host adds around any
 * wait. The thread's timer slack is given back, so that pause, timed in
 * turn, keeps Octave's own. */
#include "mex.h"

#include <sys/prctl.h>
#include <time.h>

enum { NS_PER_MS = 1000000, NS_PER_SECOND = 1000000000 };

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    long long ns;
    struct timespec deadline;
    int prior = prctl(PR_GET_TIMERSLACK);
    (void)nlhs;
    (void)nrhs;

    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    ns = (long long)deadline.tv_sec * NS_PER_SECOND + deadline.tv_nsec +
         (long long)mxGetPr(prhs[0])[0] * NS_PER_MS;
    deadline.tv_sec = (time_t)(ns / NS_PER_SECOND);
    deadline.tv_nsec = (long)(ns % NS_PER_SECOND);
    prctl(PR_SET_TIMERSLACK, 1UL);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, NULL);
    prctl(PR_SET_TIMERSLACK, (unsigned long)prior);
}
