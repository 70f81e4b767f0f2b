// Waiting until a counter reading on Windows: the performance counter, as
// clockread reads it, and a high-resolution waitable timer, with the
// resolution bracket and Sleep where the system has no such timer.
#include "timer.h"

#include <windows.h>

namespace mextime {

// Windows 10 1803 and later; older systems refuse the flag.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif
// A waitable timer's due time counts 100 ns units; a negative one is relative.
constexpr std::int64_t DUE_UNITS_PER_SECOND = 10000000;
constexpr std::int64_t MS_PER_SECOND = 1000;

std::int64_t read_counter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

std::int64_t counter_frequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Ticks rounded up to whole units of `per_second`, so the wait is not short.
static std::int64_t ceil_units(std::int64_t ticks, std::int64_t frequency,
                               std::int64_t per_second) {
    // Split so that the product cannot overflow for any wait that is checked.
    const std::int64_t whole = ticks / frequency;
    const std::int64_t rest = ticks % frequency;
    return whole * per_second + (rest * per_second + frequency - 1) / frequency;
}

void wait_until(std::int64_t deadline, std::int64_t now) {
    const std::int64_t frequency = counter_frequency();
    const std::int64_t ticks = deadline - now;
    // Created and closed here: a timer kept between calls would be state.
    const HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr,
                                                CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                                TIMER_ALL_ACCESS);
    if (timer) {
        LARGE_INTEGER due;
        due.QuadPart = -ceil_units(ticks, frequency, DUE_UNITS_PER_SECOND);
        const bool set = SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
        if (set) WaitForSingleObject(timer, INFINITE);
        CloseHandle(timer);
        if (set) return;
    }
    // Older than Windows 10 1803 (or a timer that cannot be set): sleep's own
    // bracket, in whole milliseconds rounded up.
    const Resolution prior = request_resolution(true);
    Sleep(static_cast<DWORD>(ceil_units(ticks, frequency, MS_PER_SECOND)));
    release_resolution(prior);
}

// The high-resolution timer's period is 0.5 ms, and it may wake up to one
// period late.
double default_spin_seconds() { return 0.001; }

// YieldProcessor is the pause instruction on x86 and yield on ARM.
void cpu_pause() { YieldProcessor(); }

}  // namespace mextime
