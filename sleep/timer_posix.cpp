// The timer on Linux: timer slack for the resolution, and an absolute
// CLOCK_MONOTONIC deadline for the wait.
#include "timer.h"

#include <errno.h>
#include <sys/prctl.h>
#include <time.h>

namespace mextime {

// Linux has no system-wide timer resolution; a thread's timer slack is how
// late its sleeps may end. 1 ns is the least, as 0 means "the default".
constexpr unsigned long TIMER_SLACK_NS = 1;
constexpr std::uint32_t MS_PER_SECOND = 1000;
constexpr long NS_PER_MS = 1000000;
constexpr long NS_PER_SECOND = 1000000000;

Resolution request_resolution() {
    const int prior = prctl(PR_GET_TIMERSLACK);
    prctl(PR_SET_TIMERSLACK, TIMER_SLACK_NS);
    // Should the read fail, the release falls back to the default slack.
    return {prior > 0 ? static_cast<unsigned long>(prior) : 0};
}

void release_resolution(Resolution prior) { prctl(PR_SET_TIMERSLACK, prior.prior_slack); }

void wait_ms(std::uint32_t ms) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(ms / MS_PER_SECOND);
    deadline.tv_nsec += static_cast<long>(ms % MS_PER_SECOND) * NS_PER_MS;
    if (deadline.tv_nsec >= NS_PER_SECOND) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= NS_PER_SECOND;
    }
    // A signal handler breaks the sleep off; the same absolute deadline
    // resumes it, so no signal shortens the wait.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace mextime
