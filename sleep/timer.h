// What sleep brackets its wait with: a finer system timer for exactly the
// wait, and the wait itself.
#ifndef MEXTIME_SLEEP_TIMER_H
#define MEXTIME_SLEEP_TIMER_H

#include <cstdint>

namespace mextime {

// What a resolution request hands to its release. Windows keeps count of
// requests itself; POSIX gives back the thread's earlier timer slack.
struct Resolution {
    unsigned long prior_slack;
};

Resolution request_resolution();
void release_resolution(Resolution prior);

// Blocks the calling thread for ms milliseconds; signals do not shorten it.
void wait_ms(std::uint32_t ms);

}  // namespace mextime

#endif
