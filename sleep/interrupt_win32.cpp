// The host's interrupt flag on Windows: MATLAB's in libut.dll; Octave's in
// whichever of its DLLs is loaded, whose name carries its version.
#include "interrupt.h"

#include <windows.h>
#include <psapi.h>

namespace mextime {

// MATLAB loads a few hundred modules; liboctave comes early among Octave's.
constexpr DWORD MAX_MODULES = 1024;

using IsInterruptPending = bool (*)();

InterruptSource find_interrupt_source() {
    InterruptSource source{};
    if (const HMODULE libut = GetModuleHandleW(L"libut.dll"))
        source.is_interrupt_pending = reinterpret_cast<IsInterruptPending>(
            reinterpret_cast<void *>(GetProcAddress(libut, "utIsInterruptPending")));
    if (source.is_interrupt_pending) return source;
    HMODULE modules[MAX_MODULES];
    DWORD bytes = 0;
    if (!K32EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) return source;
    const DWORD count = bytes / sizeof modules[0] < MAX_MODULES ? bytes / sizeof modules[0] : MAX_MODULES;
    for (DWORD i = 0; i < count && !source.octave_state; ++i)
        source.octave_state = reinterpret_cast<const volatile int *>(
            reinterpret_cast<void *>(GetProcAddress(modules[i], "octave_interrupt_state")));
    return source;
}

}  // namespace mextime
