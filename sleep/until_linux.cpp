// waituntil's timer on Linux: sleep's absolute-deadline wait on the
// counter's own clock (CLOCK_MONOTONIC in nanoseconds), inside the
// resolution bracket with the wake-up latency request.
#include "timer.h"

namespace mextime {

Timer open_timer() { return {nullptr, request_resolution(Wakeup::Prompt)}; }

// Counter ticks are the deadline's nanoseconds.
void timer_wait(Timer &, std::int64_t until, std::int64_t, std::int64_t) {
    wait_planned({until, 0});
}

void close_timer(Timer &timer) { release_resolution(timer.release); }

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
