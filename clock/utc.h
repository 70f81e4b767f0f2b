// The system's UTC clock, as clockutc pairs it with the counter (counter.h):
// found once per call, then read between two counter readings.
#ifndef MEXTIME_CLOCK_UTC_H
#define MEXTIME_CLOCK_UTC_H

#include <cstdint>

namespace mextime {

struct UtcClock {
    // The platform's own read, as find_utc_clock found it; POSIX needs none.
    void (*read)();
    std::int64_t ticks_per_second;
    // How coarsely the clock steps, in its ticks: 0 where it counts finer
    // than a pair of counter readings can tell.
    std::int64_t step;
};

UtcClock find_utc_clock();

// POSIX time now, in the clock's ticks: since 1970-01-01 00:00 UTC, leap
// seconds not counted.
std::int64_t read_utc(const UtcClock &clock);

}  // namespace mextime

#endif
