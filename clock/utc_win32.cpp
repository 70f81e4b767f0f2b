// The UTC clock on Windows: GetSystemTimePreciseAsFileTime where the system
// has it (Windows 8 and later), GetSystemTimeAsFileTime and its step before.
#include "utc.h"

#include <windows.h>

namespace mextime {

using SystemTimeFunction = void(WINAPI *)(LPFILETIME);

constexpr std::int64_t FILETIME_UNITS_PER_SECOND = 10000000;
// 1601-01-01 to 1970-01-01 in FILETIME's 100 ns units: 369 years, 89 of
// them leap years.
constexpr std::int64_t UNIX_EPOCH_IN_FILETIME = 116444736000000000;
// The clock interrupt's default period, 15.625 ms: the step to assume should
// the system not tell its own.
constexpr DWORD DEFAULT_TIME_INCREMENT = 156250;

// Looked up at run time, so that the file still loads on Windows 7.
UtcClock find_utc_clock() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const FARPROC precise =
        kernel32 ? GetProcAddress(kernel32, "GetSystemTimePreciseAsFileTime") : nullptr;
    if (precise) return {reinterpret_cast<void (*)()>(precise), FILETIME_UNITS_PER_SECOND, 0};
    // The older call advances by whole clock interrupts.
    DWORD adjustment = 0, increment = 0;
    BOOL adjustment_disabled = FALSE;
    if (!GetSystemTimeAdjustment(&adjustment, &increment, &adjustment_disabled))
        increment = DEFAULT_TIME_INCREMENT;
    return {reinterpret_cast<void (*)()>(&GetSystemTimeAsFileTime), FILETIME_UNITS_PER_SECOND,
            increment};
}

std::int64_t read_utc(const UtcClock &clock) {
    FILETIME now{};
    reinterpret_cast<SystemTimeFunction>(clock.read)(&now);
    const std::int64_t units =
        static_cast<std::int64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return units - UNIX_EPOCH_IN_FILETIME;
}

}  // namespace mextime
