// The resolution bracket on Windows: the multimedia timer resolution, kept
// even while the process's windows are hidden.
#include "timer.h"

#include <windows.h>
#include <mmsystem.h>

namespace mextime {

constexpr UINT TIMER_RESOLUTION_MS = 1;

using SetProcessInformationFunction = BOOL(WINAPI *)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID,
                                                     DWORD);

// Windows 11 may ignore the resolution request of a process whose windows
// are minimised or hidden; opting out keeps it. Looked up at run time, so the
// file still loads where the call does not exist (Windows 7).
static void keep_timer_resolution_when_hidden() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return;
    const auto set_process_information = reinterpret_cast<SetProcessInformationFunction>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "SetProcessInformation")));
    if (!set_process_information) return;
    PROCESS_POWER_THROTTLING_STATE state{PROCESS_POWER_THROTTLING_CURRENT_VERSION,
                                         PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION, 0};
    set_process_information(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
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
