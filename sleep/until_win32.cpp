// The timer of waituntil and delay on Windows: a high-resolution waitable timer, and where
// the system has none, sleep's bracket and Sleep.
#include "timer.h"

#include <windows.h>

namespace mextime {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, under a name of our own: few
// headers have it (the Windows SDK docs of CreateWaitableTimerExW give it).
// Windows 10 1803 and later; older systems refuse the flag.
constexpr DWORD HIGH_RESOLUTION_TIMER = 0x00000002;
// A waitable timer's due time counts 100 ns units; a negative one is relative.
constexpr std::int64_t DUE_UNITS_PER_SECOND = 10000000;

// Ticks rounded up to whole units of `per_second`, so the wait is not short.
static std::int64_t ceil_units(std::int64_t ticks, std::int64_t frequency,
                               std::int64_t per_second) {
    // Split so that the product cannot overflow for any wait that is checked.
    const std::int64_t whole = ticks / frequency;
    const std::int64_t rest = ticks % frequency;
    return whole * per_second + (rest * per_second + frequency - 1) / frequency;
}

// Created here and closed with the call: a timer kept between calls would
// be state. Older than Windows 10 1803: sleep's own bracket instead.
Timer open_timer() {
    Timer timer{CreateWaitableTimerExW(nullptr, nullptr, HIGH_RESOLUTION_TIMER,
                                       TIMER_ALL_ACCESS),
                {}};
    if (!timer.waitable) timer.release = request_resolution();
    return timer;
}

// The high-resolution timer is as prompt as Windows makes it.
void prompt_timer(Timer &) {}

void timer_wait(Timer &timer, std::int64_t until, std::int64_t now, std::int64_t frequency) {
    if (timer.waitable) {
        LARGE_INTEGER due;
        due.QuadPart = -ceil_units(until - now, frequency, DUE_UNITS_PER_SECOND);
        if (SetWaitableTimer(timer.waitable, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer.waitable, INFINITE);
            return;
        }
        // A timer that cannot be set: sleep's bracket for the rest of the call.
        CloseHandle(timer.waitable);
        timer = {nullptr, request_resolution()};
    }
    Sleep(static_cast<DWORD>(ceil_units(until - now, frequency, MS_PER_SECOND)));
}

void close_timer(Timer &timer) {
    if (timer.waitable)
        CloseHandle(timer.waitable);
    else
        release_resolution(timer.release);
}

// The high-resolution timer's period is 0.5 ms, and it may wake up to one
// period late.
double default_spin_seconds() { return 0.001; }

// YieldProcessor is the pause instruction on x86 and yield on ARM.
void cpu_pause() { YieldProcessor(); }

}  // namespace mextime
