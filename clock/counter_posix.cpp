// The counter on POSIX: CLOCK_MONOTONIC, in nanoseconds.
#include "counter.h"
#include "timespec_posix.h"

namespace mextime {

// CLOCK_MONOTONIC counts in nanoseconds whatever its resolution, so the rate
// is fixed; asking for the resolution tells whether the clock exists.
bool query_frequency(std::int64_t &ticks_per_second) {
    timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return false;
    ticks_per_second = NANOSECONDS_PER_SECOND;
    return true;
}

std::int64_t read_counter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return nanoseconds(now);
}

}  // namespace mextime
