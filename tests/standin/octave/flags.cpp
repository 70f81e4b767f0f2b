// Stands in for the DLL of Octave on Windows that exports its Ctrl+C flags,
// which waituntil finds among the process's modules where no libut.dll is
// loaded: at the newest Octave's sizes, the signal flag one byte with a
// guard after it (spy.h).
#include "../spy.h"

extern "C" {
__declspec(dllexport) volatile int octave_interrupt_state = 0;
__declspec(dllexport) SpyOctaveSignal octave_signal_caught = {0, {SPY_GUARD, SPY_GUARD, SPY_GUARD}};
}
