// The clock that the POSIX waits (wait_posix.cpp, until_posix.cpp) sleep
// on, which is the counter's own; each system's file is
// monotonic_<system>.cpp. sleep's plan (timer.h) is made there too, so that
// the step to ticks costs the call nothing before its deadline is set.
#ifndef MEXTIME_SLEEP_MONOTONIC_H
#define MEXTIME_SLEEP_MONOTONIC_H

#include "timer.h"

#include <cstdint>

namespace mextime {

// Its ticks per second.
std::int64_t ticks_per_second();

// ms milliseconds in ticks; rate / 1000 is whole at every rate there is
// (1 GHz, 24 MHz), and the rest keeps it exact at any other.
inline std::int64_t ms_ticks(std::uint32_t ms, std::int64_t rate) {
    return rate / MS_PER_SECOND * ms + rate % MS_PER_SECOND * ms / MS_PER_SECOND;
}

// Blocks until the clock reads `deadline`. A signal may end it early; every
// caller reads the counter and sleeps again until its own deadline.
void sleep_until(std::int64_t deadline);

}  // namespace mextime

#endif
