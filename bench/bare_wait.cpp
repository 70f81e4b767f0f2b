// bare_wait: the floor's own wait (an absolute CLOCK_MONOTONIC deadline with
// 1 ns timer slack) entered through the host as sleep is, with the same 1x1
// answer, so that timing it in Octave shows what the host adds around any
// wait. The thread's timer slack is given back, so that pause, timed in
// turn, keeps Octave's own.
#include "mex.h"

#include <sys/prctl.h>
#include <time.h>

constexpr long long NS_PER_MS = 1000000;
constexpr long long NS_PER_SECOND = 1000000000;

void mexFunction(int, mxArray *plhs[], int, const mxArray *prhs[]) {
    const int prior = prctl(PR_GET_TIMERSLACK);
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    const long long ns = static_cast<long long>(deadline.tv_sec) * NS_PER_SECOND +
                         deadline.tv_nsec +
                         static_cast<long long>(mxGetPr(prhs[0])[0]) * NS_PER_MS;
    deadline.tv_sec = static_cast<time_t>(ns / NS_PER_SECOND);
    deadline.tv_nsec = static_cast<long>(ns % NS_PER_SECOND);
    prctl(PR_SET_TIMERSLACK, 1UL);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
    prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(prior));
}
