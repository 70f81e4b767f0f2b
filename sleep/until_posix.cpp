// The timer of waituntil and delay on POSIX systems: an absolute sleep on
// the counter's own clock (monotonic_<system>.cpp), inside the resolution
// bracket, with the wake-up request for its last slices where the system
// has one (Linux).
#include "monotonic.h"
#include "timer.h"

namespace mextime {

Timer open_timer() { return {nullptr, request_resolution()}; }

void prompt_timer(Timer &timer) { request_prompt_wakeup(timer.release); }

// Counter ticks are the clock's own.
void timer_wait(Timer &, std::int64_t until, std::int64_t, std::int64_t) { sleep_until(until); }

void close_timer(Timer &timer) { release_resolution(timer.release); }

// With 1 ns slack and the PM QoS request the Linux timer wakes 40 us late
// at the median and within this at p99 on a 2-core VM; later wake-ups there
// were preemption, which no spin helps. Not yet measured on a Mac:
// mextimecheck there reports what the learned spin settles at.
double default_spin_seconds() { return 0.0005; }

void cpu_pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

}  // namespace mextime
