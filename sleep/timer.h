// What sleep and waituntil wait with: a finer system timer for exactly the
// wait (resolution_*.cpp), sleep's wait of whole milliseconds (wait_*.cpp),
// and waituntil's timer, which waits until a reading of the counter that
// clockread reads (until_*.cpp). Each function links only the parts it
// calls, so sleep binds no waitable timer.
#ifndef MEXTIME_SLEEP_TIMER_H
#define MEXTIME_SLEEP_TIMER_H

#include <cstdint>

namespace mextime {

constexpr std::int64_t MS_PER_SECOND = 1000;

// Whether a resolution request also keeps the CPUs ready to wake at once,
// where the platform has such a request: worth its cost before a wait of
// 1 ms or more, not before a wait of 0 ms.
enum class Wakeup { AsIs, Prompt };

// What a resolution request hands to its release. Windows keeps count of
// requests itself; POSIX gives back the thread's earlier timer slack and
// drops its wake-up latency request (-1 when none is held).
struct ResolutionRelease {
    unsigned long prior_slack;
    int latency_request;
};

ResolutionRelease request_resolution(Wakeup wakeup);
void release_resolution(ResolutionRelease release);

// sleep's wait of ms milliseconds, planned as the call starts, so that
// what the bracket costs is spent inside the wait: an absolute deadline on
// the counter where the platform waits to one (POSIX), the milliseconds
// where it waits a count (Windows).
struct PlannedWait {
    std::int64_t deadline;
    std::uint32_t ms;
};

PlannedWait plan_wait(std::uint32_t ms);

// Blocks the calling thread until the planned end; signals do not shorten it.
void wait_planned(PlannedWait wait);

// waituntil's timer, with the resolution bracket it needs, held from open to
// close. Where the platform's timer cannot be had, the timer falls back to
// sleep's bracket and wait.
struct Timer {
    void *waitable;
    ResolutionRelease release;
};

Timer open_timer();

// Blocks until about the counter reading `until` (`now` is the reading just
// taken, `frequency` the counter's ticks per second). It may end a little
// early; signals do not end it.
void timer_wait(Timer &timer, std::int64_t until, std::int64_t now, std::int64_t frequency);

void close_timer(Timer &timer);

// How long before its deadline waituntil stops the timer and reads the
// counter instead, until it has learned better: about how late the timer may
// wake.
double default_spin_seconds();

// Tells the CPU that the thread is spinning on a read.
void cpu_pause();

}  // namespace mextime

#endif
