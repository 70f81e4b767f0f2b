// held_wait: sleep's wait without its bracket's cost, for the stand-in
// host: the PM QoS request and 1 ns of timer slack are taken at the first
// call and held until the process ends, and each call waits its whole
// milliseconds to an absolute CLOCK_MONOTONIC deadline taken as it starts.
#include "mex.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>

constexpr std::int64_t NS_PER_MS = 1000000;
constexpr std::int64_t NS_PER_SECOND = 1000000000;

static bool held;

void mexFunction(int, mxArray *plhs[], int, const mxArray *prhs[]) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t deadline = static_cast<std::int64_t>(now.tv_sec) * NS_PER_SECOND +
                                  now.tv_nsec +
                                  static_cast<std::int64_t>(mxGetPr(prhs[0])[0]) * NS_PER_MS;
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    if (!held) {
        // Left open on purpose: the request lasts until the process ends.
        const std::int32_t no_latency = 0;
        const int request = open("/dev/cpu_dma_latency", O_WRONLY | O_CLOEXEC);
        if (request >= 0 && write(request, &no_latency, sizeof no_latency) != sizeof no_latency)
            close(request);
        prctl(PR_SET_TIMERSLACK, 1UL);
        held = true;
    }
    const timespec until{static_cast<time_t>(deadline / NS_PER_SECOND),
                         static_cast<long>(deadline % NS_PER_SECOND)};
    // Resumed after a signal, as sleep's wait is; it never looks at the
    // host's flags, so mexhost's second Ctrl+C is what ends it.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
