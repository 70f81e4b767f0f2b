// The host's flags on macOS, looked up by name in the running process:
// MATLAB's libut and Octave's libraries are loaded before any MEX file, but
// from no path a Mac file could name, and a missing name is null here where
// an unbound reference would end the process.
#include "interrupt.h"

#include <dlfcn.h>

namespace mextime {

InterruptSource find_interrupt_source() {
    return {reinterpret_cast<bool (*)()>(dlsym(RTLD_DEFAULT, "utIsInterruptPending")),
            static_cast<const volatile int *>(dlsym(RTLD_DEFAULT, "octave_interrupt_state")),
            static_cast<OctaveSignalFlag *>(dlsym(RTLD_DEFAULT, "octave_signal_caught")),
            reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "octave_handle_signal"))};
}

}  // namespace mextime
