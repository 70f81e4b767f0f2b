// Status on Windows: the process's priority class and the calling thread's
// level, in the words of the system's own settings; and what the system
// grants the waits and the raise.
#include "platform_text.h"
#include "priority.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace mextime {
namespace {

const char *class_word(DWORD priority_class) {
    switch (priority_class) {
    case REALTIME_PRIORITY_CLASS: return "realtime";
    case HIGH_PRIORITY_CLASS: return "high";
    case ABOVE_NORMAL_PRIORITY_CLASS: return "above normal";
    case NORMAL_PRIORITY_CLASS: return "normal";
    case BELOW_NORMAL_PRIORITY_CLASS: return "below normal";
    case IDLE_PRIORITY_CLASS: return "idle";
    default: return nullptr;
    }
}

const char *level_word(int level) {
    switch (level) {
    case THREAD_PRIORITY_TIME_CRITICAL: return "time critical";
    case THREAD_PRIORITY_HIGHEST: return "highest";
    case THREAD_PRIORITY_ABOVE_NORMAL: return "above normal";
    case THREAD_PRIORITY_NORMAL: return "normal";
    case THREAD_PRIORITY_BELOW_NORMAL: return "below normal";
    case THREAD_PRIORITY_LOWEST: return "lowest";
    case THREAD_PRIORITY_IDLE: return "idle";
    default: return nullptr;
    }
}

// The C runtime's own conversions: MinGW's snprintf would add its whole
// formatter to the file.
void put_word(char (&out)[STATUS_TEXT_SIZE], const char *word) {
    std::strncpy(out, word, STATUS_TEXT_SIZE - 1);
    out[STATUS_TEXT_SIZE - 1] = '\0';
}

void put_number(char (&out)[STATUS_TEXT_SIZE], long number) { _ltoa(number, out, 10); }

// ntdll's calls, and kernel32's of Windows 8 and later, looked up at run
// time so that the file still loads on Windows 7.
using NtQueryTimerResolutionFunction = LONG(NTAPI *)(PULONG coarsest, PULONG finest, PULONG current);
using NtOpenProcessTokenFunction = LONG(NTAPI *)(HANDLE, ACCESS_MASK, PHANDLE);
using NtQueryInformationTokenFunction = LONG(NTAPI *)(HANDLE, TOKEN_INFORMATION_CLASS, PVOID, ULONG, PULONG);
// The information class is an enumeration, passed as an int: the headers of
// MATLAB's compilers (mingw-w64 before 10, older Windows SDKs) lack the
// power-throttling state, declared here under names of our own as the
// Windows SDK docs of GetProcessInformation and
// PROCESS_POWER_THROTTLING_STATE give it (mingw-w64 10's processthreadsapi.h).
using GetProcessInformationFunction = BOOL(WINAPI *)(HANDLE, int, LPVOID, DWORD);
struct ThrottlingState {
    ULONG version, control_mask, state_mask;
};
constexpr int PROCESS_THROTTLING_CLASS = 4;       // ProcessPowerThrottling
constexpr ULONG THROTTLING_STATE_VERSION = 1;     // PROCESS_POWER_THROTTLING_CURRENT_VERSION
constexpr ULONG THROTTLE_TIMER_RESOLUTION = 0x4;  // PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION

template <typename T>
T find(const wchar_t *library, const char *name) {
    const HMODULE module = GetModuleHandleW(library);
    return module ? reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

// The timer's steps count 100 ns units.
constexpr std::uint64_t NS_PER_UNIT = 100;

void set_timer_resolution(PlatformValues &values) {
    const auto query = find<NtQueryTimerResolutionFunction>(L"ntdll.dll", "NtQueryTimerResolution");
    ULONG coarsest = 0, finest = 0, current = 0;
    if (!query || query(&coarsest, &finest, &current) < 0) {
        values.set(PlatformField::TimerResolution, UNREADABLE);
        values.set(PlatformField::TimerResolutionRange, UNREADABLE);
        return;
    }
    values.set_ms(PlatformField::TimerResolution, current * NS_PER_UNIT);
    values.set_ms_range(PlatformField::TimerResolutionRange, finest * NS_PER_UNIT, coarsest * NS_PER_UNIT);
}

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, of Windows 10 1803 and later
// (older systems refuse it), which older headers lack. Closed at once.
constexpr DWORD HIGH_RESOLUTION_TIMER = 0x00000002;

void set_high_resolution_timer(PlatformValues &values) {
    const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, HIGH_RESOLUTION_TIMER, TIMER_ALL_ACCESS);
    values.set(PlatformField::HighResolutionTimer, timer ? "yes" : "no");
    if (timer) CloseHandle(timer);
}

// sleep's bracket opts out of the throttling; Windows 11 22H2 and later
// tell whether it holds, older systems refuse the query.
void set_power_throttling(PlatformValues &values) {
    const auto query = find<GetProcessInformationFunction>(L"kernel32.dll", "GetProcessInformation");
    ThrottlingState state{THROTTLING_STATE_VERSION, 0, 0};
    if (!query || !query(GetCurrentProcess(), PROCESS_THROTTLING_CLASS, &state, sizeof state))
        return values.set(PlatformField::PowerThrottling, UNREADABLE);
    if (!(state.control_mask & THROTTLE_TIMER_RESOLUTION))
        values.set(PlatformField::PowerThrottling, "default");
    else
        values.set(PlatformField::PowerThrottling, state.state_mask & THROTTLE_TIMER_RESOLUTION ? "ignored" : "kept");
}

// An elevated token (an administrator's, run as administrator) is granted
// the real-time class.
void set_privileged(PlatformValues &values) {
    const auto open = find<NtOpenProcessTokenFunction>(L"ntdll.dll", "NtOpenProcessToken");
    const auto query = find<NtQueryInformationTokenFunction>(L"ntdll.dll", "NtQueryInformationToken");
    HANDLE token = nullptr;
    if (!open || !query || open(GetCurrentProcess(), TOKEN_QUERY, &token) < 0)
        return values.set(PlatformField::Privileged, UNREADABLE);
    TOKEN_ELEVATION elevation{};
    ULONG size = 0;
    const bool read = query(token, TokenElevation, &elevation, sizeof elevation, &size) >= 0;
    CloseHandle(token);
    values.set(PlatformField::Privileged, !read ? UNREADABLE : elevation.TokenIsElevated ? "yes" : "no");
}

}  // namespace

// A class or level without a word (a failed read, or one of the levels
// between -7 and 6 that only the real-time class offers) is its number.
void read_status(Status &status) {
    const DWORD priority_class = GetPriorityClass(GetCurrentProcess());
    const int level = GetThreadPriority(GetCurrentThread());
    status.realtime = priority_class == REALTIME_PRIORITY_CLASS;
    if (const char *word = class_word(priority_class))
        put_word(status.process, word);
    else
        put_number(status.process, static_cast<long>(priority_class));
    if (const char *word = level_word(level))
        put_word(status.thread, word);
    else
        put_number(status.thread, level);
}

void read_platform(Status &status) {
    PlatformValues values;
    set_timer_resolution(values);
    set_high_resolution_timer(values);
    set_power_throttling(values);
    set_privileged(values);
    values.write(status.platform, sizeof status.platform);
}

}  // namespace mextime
