// The clock of the Linux waits: CLOCK_MONOTONIC, the counter's own, in its
// nanoseconds, slept on to an absolute reading.
#include "monotonic.h"

#include "counter.h"
#include "timer.h"
#include "timespec_posix.h"

#include <errno.h>
#include <time.h>

namespace mextime {

constexpr std::int64_t NS_PER_MS = NANOSECONDS_PER_SECOND / MS_PER_SECOND;

std::int64_t ticks_per_second() { return NANOSECONDS_PER_SECOND; }

PlannedWait plan_wait(std::uint32_t ms) { return {read_counter() + ms * NS_PER_MS, ms}; }

void sleep_until(std::int64_t deadline_ns) {
    const timespec deadline = to_timespec(deadline_ns);
    // A signal handler breaks the sleep off; the same absolute deadline
    // resumes it, so no signal shortens the wait.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace mextime
