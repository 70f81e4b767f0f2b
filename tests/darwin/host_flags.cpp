// The hosts' flags, defined by the test program as MATLAB's libut and
// Octave define them, for the Darwin interrupt file to find by name.
#include "host_flags.h"

#include "mach_standin.h"

HostFlags host_flags;

extern "C" {
bool utIsInterruptPending() { return host_flags.matlab_interrupt; }
int octave_interrupt_state;
volatile int octave_signal_caught;

// Octave's check takes the signal off and acts on it; here it only notes it.
void octave_handle_signal() {
    standin::note("octave_handle_signal");
    octave_signal_caught = 0;
}
}
