// What the Darwin waits share: mach_wait_until to an absolute
// mach_absolute_time reading, which is the counter's own tick, and the
// counter's rate for plans made in milliseconds.
#ifndef MEXTIME_SLEEP_MACH_DARWIN_H
#define MEXTIME_SLEEP_MACH_DARWIN_H

#include "counter.h"

#include <mach/mach_time.h>

#include <cstdint>

namespace mextime {

// An Intel Mac's rate, should the timebase be unreadable, where clockread
// would have raised its error already.
constexpr std::int64_t FALLBACK_TICKS_PER_SECOND = 1000000000;

inline std::int64_t ticks_per_second() {
    std::int64_t rate = 0;
    return query_frequency(rate) ? rate : FALLBACK_TICKS_PER_SECOND;
}

// Broken off (a signal, a debugger), the wait ends early with KERN_ABORTED;
// every caller reads the counter and waits again until its deadline, so no
// signal shortens a wait.
inline void sleep_until(std::int64_t deadline) { mach_wait_until(static_cast<std::uint64_t>(deadline)); }

}  // namespace mextime

#endif
