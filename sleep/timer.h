// What sleep and waituntil bracket their waits with: a finer system timer
// for exactly the wait (resolution_*.cpp), and the waits themselves: a whole
// number of milliseconds (wait_*.cpp), or until a reading of the counter that
// clockread reads (until_*.cpp). Each function links only the parts it
// calls, so sleep binds no waitable timer.
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

// The counter clockread reads, and its ticks per second: clockread's answer
// is counter / frequency, each converted to double.
std::int64_t read_counter();
std::int64_t counter_frequency();

// Blocks with the platform's timer, inside the resolution bracket it needs,
// until about the counter reading deadline (now is the reading just taken).
// It may end a little early; signals do not end it.
void wait_until(std::int64_t deadline, std::int64_t now);

// How long before its deadline waituntil stops the timer and reads the
// counter instead, when the call does not say: about how late the timer may
// wake.
double default_spin_seconds();

// Tells the CPU that the thread is spinning on a read.
void cpu_pause();

}  // namespace mextime

#endif
