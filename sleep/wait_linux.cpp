// sleep's wait on Linux: an absolute CLOCK_MONOTONIC deadline, the counter's
// own clock, taken as the call starts.
#include "counter.h"
#include "timer.h"
#include "timespec_posix.h"

#include <errno.h>
#include <time.h>

namespace mextime {

PlannedWait plan_wait(std::uint32_t ms) {
    return {read_counter() + ms * (NANOSECONDS_PER_SECOND / MS_PER_SECOND), ms};
}

void wait_planned(PlannedWait wait) {
    const timespec deadline = to_timespec(wait.deadline);
    // A signal handler breaks the sleep off; the same absolute deadline
    // resumes it, so no signal shortens the wait.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace mextime
