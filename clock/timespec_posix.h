// What the POSIX clock and timer files share: a clock_gettime reading in
// nanoseconds, which is also the POSIX counter's tick, and back.
#ifndef MEXTIME_CLOCK_TIMESPEC_POSIX_H
#define MEXTIME_CLOCK_TIMESPEC_POSIX_H

#include <time.h>

#include <cstdint>

namespace mextime {

constexpr std::int64_t NANOSECONDS_PER_SECOND = 1000000000;

inline std::int64_t nanoseconds(const timespec &reading) {
    return static_cast<std::int64_t>(reading.tv_sec) * NANOSECONDS_PER_SECOND + reading.tv_nsec;
}

inline timespec to_timespec(std::int64_t ns) {
    return {static_cast<time_t>(ns / NANOSECONDS_PER_SECOND),
            static_cast<long>(ns % NANOSECONDS_PER_SECOND)};
}

}  // namespace mextime

#endif
