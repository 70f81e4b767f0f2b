// The resolution bracket on Windows: the multimedia timer resolution, kept
// even while the process's windows are hidden.
#include "timer.h"

#include <windows.h>
#include <mmsystem.h>

namespace mextime {

constexpr UINT TIMER_RESOLUTION_MS = 1;

// Windows 11's power-throttling request, under names of our own: the headers
// of MATLAB's compilers (mingw-w64 before 10, older Windows SDKs) lack it.
// As the Windows SDK docs of SetProcessInformation, PROCESS_INFORMATION_CLASS
// and PROCESS_POWER_THROTTLING_STATE give it, and mingw-w64 10's
// processthreadsapi.h declares it.
struct ThrottlingState {
    ULONG version, control_mask, state_mask;
};
constexpr int PROCESS_THROTTLING_CLASS = 4;       // ProcessPowerThrottling
constexpr ULONG THROTTLING_STATE_VERSION = 1;     // PROCESS_POWER_THROTTLING_CURRENT_VERSION
constexpr ULONG THROTTLE_TIMER_RESOLUTION = 0x4;  // PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION
// The information class is an enumeration, passed as an int.
using SetProcessInformationFunction = BOOL(WINAPI *)(HANDLE, int, LPVOID, DWORD);

// Windows 11 may ignore the resolution request of a process whose windows
// are minimised or hidden; opting out keeps it. Looked up at run time, so the
// file still loads where the call does not exist (Windows 7).
static void keep_timer_resolution_when_hidden() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return;
    const auto set_process_information = reinterpret_cast<SetProcessInformationFunction>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "SetProcessInformation")));
    if (!set_process_information) return;
    // Timer resolution under the caller's control, and not throttled.
    ThrottlingState state{THROTTLING_STATE_VERSION, THROTTLE_TIMER_RESOLUTION, 0};
    set_process_information(GetCurrentProcess(), PROCESS_THROTTLING_CLASS, &state, sizeof state);
}

ResolutionRelease request_resolution() {
    keep_timer_resolution_when_hidden();
    timeBeginPeriod(TIMER_RESOLUTION_MS);
    return {};
}

// Windows has no wake-up latency request: the timer resolution is all.
void request_prompt_wakeup(ResolutionRelease &) {}

void release_resolution(ResolutionRelease) { timeEndPeriod(TIMER_RESOLUTION_MS); }

}  // namespace mextime
