// The host's flags on Windows: MATLAB's in libut.dll; Octave's in whichever
// of its DLLs is loaded, whose name carries its version.
#include "interrupt.h"

#include <windows.h>
#include <psapi.h>

namespace mextime {

// MATLAB loads a few hundred modules; liboctave comes early among Octave's.
constexpr DWORD MAX_MODULES = 1024;

template <typename T>
static T find(HMODULE module, const char *name) {
    return reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

InterruptSource find_interrupt_source() {
    InterruptSource source{};
    if (const HMODULE libut = GetModuleHandleW(L"libut.dll"))
        source.is_interrupt_pending = find<bool (*)()>(libut, "utIsInterruptPending");
    if (source.is_interrupt_pending) return source;
    HMODULE modules[MAX_MODULES];
    DWORD bytes = 0;
    if (!K32EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) return source;
    const DWORD count = bytes / sizeof modules[0] < MAX_MODULES ? bytes / sizeof modules[0] : MAX_MODULES;
    for (DWORD i = 0; i < count && !source.octave_interrupt; ++i) {
        source.octave_interrupt = find<const volatile int *>(modules[i], "octave_interrupt_state");
        if (!source.octave_interrupt) continue;
        // Octave's signal flag and handler sit beside its Ctrl+C flag.
        source.octave_signal = find<OctaveSignalFlag *>(modules[i], "octave_signal_caught");
        source.octave_handle_signal = find<void (*)()>(modules[i], "octave_handle_signal");
    }
    return source;
}

}  // namespace mextime
