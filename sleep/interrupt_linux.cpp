// The host's flags on Linux: weak references, which the dynamic loader binds
// to whatever the host process defines when it loads the file, and leaves
// null where nothing does. Unlike dlsym, they tie the file to no newer C
// library than its other calls do.
#include "interrupt.h"

extern "C" {
bool utIsInterruptPending() __attribute__((weak));
// At their sizes, as interrupt.h tells.
extern int octave_interrupt_state __attribute__((weak));
extern mextime::OctaveSignalFlag octave_signal_caught __attribute__((weak));
void octave_handle_signal() __attribute__((weak));
}

namespace mextime {

InterruptSource find_interrupt_source() {
    return {utIsInterruptPending, &octave_interrupt_state, &octave_signal_caught, octave_handle_signal};
}

}  // namespace mextime
