// What the POSIX clock files share: a clock_gettime reading in nanoseconds.
#ifndef MEXTIME_CLOCK_TIMESPEC_POSIX_H
#define MEXTIME_CLOCK_TIMESPEC_POSIX_H

#include <time.h>

#include <cstdint>

namespace mextime {

constexpr std::int64_t NANOSECONDS_PER_SECOND = 1000000000;

inline std::int64_t nanoseconds(const timespec &reading) {
    return static_cast<std::int64_t>(reading.tv_sec) * NANOSECONDS_PER_SECOND + reading.tv_nsec;
}

}  // namespace mextime

#endif
