// The one sleep both Linux waits make: to an absolute CLOCK_MONOTONIC
// reading, the counter's own clock, in its nanoseconds.
#ifndef MEXTIME_SLEEP_MONOTONIC_LINUX_H
#define MEXTIME_SLEEP_MONOTONIC_LINUX_H

#include "timespec_posix.h"

#include <errno.h>
#include <time.h>

namespace mextime {

inline void sleep_until(std::int64_t deadline_ns) {
    const timespec deadline = to_timespec(deadline_ns);
    // A signal handler breaks the sleep off; the same absolute deadline
    // resumes it, so no signal shortens the wait.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace mextime

#endif
