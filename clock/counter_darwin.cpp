// The counter on macOS: mach_absolute_time, the clock of C++'s steady_clock
// there. It stops while the Mac sleeps, as steady_clock does; CLOCK_MONOTONIC
// would not, so the POSIX file does not serve.
#include "counter.h"
#include "timespec_posix.h"

#include <mach/mach_time.h>

namespace mextime {

// A tick lasts numer/denom ns: 1/1 on Intel Macs, 125/3 (24 MHz) on Apple
// silicon. Ticks are kept as they are, so clockread divides the count itself
// by a whole rate, and waits hand the same count back to mach_wait_until.
// 1e9 * denom fits in 63 bits for any 32-bit denom. A rate that is no whole
// number of ticks per second would make every answer inexact: refused.
bool query_frequency(std::int64_t &ticks_per_second) {
    mach_timebase_info_data_t timebase{};
    if (mach_timebase_info(&timebase) != KERN_SUCCESS || timebase.numer == 0 || timebase.denom == 0)
        return false;
    const std::int64_t scaled = NANOSECONDS_PER_SECOND * static_cast<std::int64_t>(timebase.denom);
    if (scaled % timebase.numer != 0) return false;
    ticks_per_second = scaled / timebase.numer;
    return true;
}

// 2^63 ticks at 24 MHz is 12 000 years of uptime: the count stays signed.
std::int64_t read_counter() { return static_cast<std::int64_t>(mach_absolute_time()); }

}  // namespace mextime
