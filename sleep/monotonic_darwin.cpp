// The clock of the macOS waits: mach_absolute_time, the counter's own tick,
// slept on by mach_wait_until to an absolute reading.
#include "monotonic.h"

#include "counter.h"
#include "timer.h"

#include <mach/mach_time.h>

namespace mextime {

// An Intel Mac's rate, should the timebase be unreadable, where clockread
// would have raised its error already.
constexpr std::int64_t FALLBACK_TICKS_PER_SECOND = 1000000000;

std::int64_t ticks_per_second() {
    std::int64_t rate = 0;
    return query_frequency(rate) ? rate : FALLBACK_TICKS_PER_SECOND;
}

PlannedWait plan_wait(std::uint32_t ms) { return {read_counter() + ms_ticks(ms, ticks_per_second()), ms}; }

// Broken off (a signal, a debugger), the wait ends early with KERN_ABORTED,
// and the caller waits again.
void sleep_until(std::int64_t deadline) { mach_wait_until(static_cast<std::uint64_t>(deadline)); }

}  // namespace mextime
