// What sleep, waituntil and delay wait with: a finer system timer for exactly
// the wait (resolution_*.cpp), sleep's wait of whole milliseconds
// (wait_*.cpp), and the timer of waituntil and delay, which waits until a
// reading of the counter that clockread reads (until_*.cpp). Each function
// links only the parts it calls, so sleep binds no waitable timer. POSIX
// systems share both waits, on the clock of monotonic.h.
#ifndef MEXTIME_SLEEP_TIMER_H
#define MEXTIME_SLEEP_TIMER_H

#include <cstdint>

namespace mextime {

constexpr std::int64_t MS_PER_SECOND = 1000;

// How long a wait goes before it asks the host again whether it must stop.
constexpr double SLICE_SECONDS = 0.05;
// How long before its end a wait keeps the CPUs ready to wake at once: that
// request keeps every CPU out of its idle states, so a long wait holds it
// only for its last slices.
constexpr double PROMPT_SECONDS = 0.1;

// What a resolution request hands to its release. Windows keeps count of
// requests itself; Linux gives back the thread's earlier timer slack and
// drops its wake-up latency request (negative when none is held); macOS
// gives back the thread's QoS class or its latency tier, in prior_slack.
struct ResolutionRelease {
    unsigned long prior_slack;
    int latency_request;
};

ResolutionRelease request_resolution();
// Keeps the CPUs ready to wake at once until the release, where the platform
// has such a request; a second call holds the same one.
void request_prompt_wakeup(ResolutionRelease &release);
void release_resolution(ResolutionRelease release);

// sleep's wait of ms milliseconds, planned as the call starts, so that
// what the bracket costs is spent inside the wait: an absolute deadline on
// the counter where the platform waits to one (Linux, macOS; planned in
// monotonic_*.cpp), the milliseconds where it waits a count (Windows).
struct PlannedWait {
    std::int64_t deadline;
    std::uint32_t ms;
};

PlannedWait plan_wait(std::uint32_t ms);

// Blocks the calling thread until the planned end inside the bracket that
// `release` holds, and releases it as the wait ends; signals do not shorten
// it. Where the platform waits to a deadline, the release comes just before
// it, and the rest is read off the counter: what the release costs is then
// spent while the timer would still be waking. Where the platform waits in
// slices, the host is asked between them, and the wait ends early when it
// must stop (see interrupt.h); the answer says why.
enum class HostStop;
HostStop wait_planned(PlannedWait wait, ResolutionRelease &release);

// The timer of waituntil and delay, with the resolution bracket it needs,
// held from open to close. Where the platform's timer cannot be had, the
// timer falls back to sleep's bracket and wait.
struct Timer {
    void *waitable;
    ResolutionRelease release;
};

Timer open_timer();

// From here to the close, the timer wakes as promptly as the platform can.
void prompt_timer(Timer &timer);

// Blocks until about the counter reading `until` (`now` is the reading just
// taken, `frequency` the counter's ticks per second). It may end a little
// early; signals do not end it.
void timer_wait(Timer &timer, std::int64_t until, std::int64_t now, std::int64_t frequency);

void close_timer(Timer &timer);

// How long before its deadline a wait stops the timer and reads the counter
// instead, until it has learned better: about how late the timer may wake.
// A wake-up later than this is a stall that no spin would have caught.
double default_spin_seconds();

// Tells the CPU that the thread is spinning on a read.
void cpu_pause();

}  // namespace mextime

#endif
