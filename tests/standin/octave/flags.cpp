// Stands in for the DLL of Octave on Windows that exports its Ctrl+C flags
// (sig_atomic_t, an int there), which waituntil finds among the process's
// modules where no libut.dll is loaded.
extern "C" {
__declspec(dllexport) volatile int octave_interrupt_state = 0;
__declspec(dllexport) volatile int octave_signal_caught = 0;
}
