// Whether the user pressed Ctrl+C while a call waits: the host keeps that
// to itself until the call ends, unless the call asks. MATLAB answers
// through libut's utIsInterruptPending, Octave through its
// octave_interrupt_state; both are looked up in the host process, so the
// MEX file binds neither.
#ifndef MEXTIME_SLEEP_INTERRUPT_H
#define MEXTIME_SLEEP_INTERRUPT_H

namespace mextime {

struct InterruptSource {
    bool (*is_interrupt_pending)();   // MATLAB's, or the stand-in host's
    const volatile int *octave_state;  // above 0 while an interrupt is pending
};

// Whatever the host process offers; neither where it offers nothing.
InterruptSource find_interrupt_source();

// Asked only from the thread that called mexFunction: MATLAB allows no other.
inline bool interrupt_pending(const InterruptSource &source) {
    return (source.is_interrupt_pending && source.is_interrupt_pending()) ||
           (source.octave_state && *source.octave_state > 0);
}

}  // namespace mextime

#endif
