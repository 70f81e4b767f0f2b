// The UTC clock on macOS: CLOCK_REALTIME, in nanoseconds, which macOS counts
// in whole microseconds; clock_getres tells that step, which clockutc adds
// to its uncertainty. Linux's clock is finer, hence a file of its own.
#include "timespec_posix.h"
#include "utc.h"

namespace mextime {

// What macOS's C library reports, should clock_getres fail.
constexpr std::int64_t MICROSECOND_STEP_NS = 1000;

UtcClock find_utc_clock() {
    timespec resolution{};
    const std::int64_t step =
        clock_getres(CLOCK_REALTIME, &resolution) == 0 ? nanoseconds(resolution) : MICROSECOND_STEP_NS;
    // A nanosecond step is finer than a pair of counter readings can tell.
    return {nullptr, NANOSECONDS_PER_SECOND, step > 1 ? step : 0};
}

std::int64_t read_utc(const UtcClock &) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

}  // namespace mextime
