// What sleep brackets its wait with: a finer system timer for exactly the
// wait, and the wait itself.
#ifndef MEXTIME_SLEEP_TIMER_H
#define MEXTIME_SLEEP_TIMER_H

#include <cstdint>

namespace mextime {

// What a resolution request hands to its release. Windows keeps count of
// requests itself; POSIX gives back the thread's earlier timer slack and
// drops its wake-up latency request (-1 when none is held).
struct Resolution {
    unsigned long prior_slack;
    int latency_request;
};

// for_wait: a wait longer than 0 ms follows, worth the cost of a wake-up
// latency request where the platform has one.
Resolution request_resolution(bool for_wait);
void release_resolution(Resolution prior);

// Blocks the calling thread for ms milliseconds; signals do not shorten it.
void wait_ms(std::uint32_t ms);

}  // namespace mextime

#endif
