// The millisecond wait on Linux: an absolute CLOCK_MONOTONIC deadline.
#include "timer.h"

#include <errno.h>
#include <time.h>

namespace mextime {

constexpr std::uint32_t MS_PER_SECOND = 1000;
constexpr long NS_PER_MS = 1000000;
constexpr long NS_PER_SECOND = 1000000000;

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
