// The timer of waituntil and delay on macOS: mach_wait_until to the
// counter's own ticks, inside the resolution bracket (latency QoS tier 0).
#include "mach_darwin.h"
#include "timer.h"

namespace mextime {

Timer open_timer() { return {nullptr, request_resolution()}; }

void prompt_timer(Timer &timer) { request_prompt_wakeup(timer.release); }

void timer_wait(Timer &, std::int64_t until, std::int64_t, std::int64_t) { sleep_until(until); }

void close_timer(Timer &timer) { release_resolution(timer.release); }

// Linux's figure, not yet measured on a Mac: mextimecheck there reports
// what the learned spin settles at.
double default_spin_seconds() { return 0.0005; }

void cpu_pause() {
#if defined(__x86_64__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

}  // namespace mextime
