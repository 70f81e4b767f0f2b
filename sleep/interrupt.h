// Whether the host must stop while a call waits: the host keeps that to
// itself until the call ends, unless the call asks. MATLAB answers through
// libut's utIsInterruptPending; Octave keeps Ctrl+C in octave_interrupt_state
// and any other signal it has to act on in octave_signal_caught. All are
// looked up in the host process, so the MEX file binds none of them.
//
// Their sizes, from Octave's liboctave/util/quit.h and quit.cc: the Ctrl+C
// flag is an int in every version (sig_atomic_t; std::atomic<int> from 9);
// the signal flag an int up to Octave 8, then a one-byte std::atomic<bool>
// with others' bytes beside it. Octave sets it to 1 alone
// (libinterp/corefcn/sighandlers.cc), in its first byte either way on a
// little-endian machine: that byte alone is read and cleared.
#ifndef MEXTIME_SLEEP_INTERRUPT_H
#define MEXTIME_SLEEP_INTERRUPT_H

namespace mextime {

using OctaveSignalFlag = volatile unsigned char;

struct InterruptSource {
    bool (*is_interrupt_pending)();        // MATLAB's, or the stand-in host's
    const volatile int *octave_interrupt;  // above 0 once Ctrl+C is pressed
    OctaveSignalFlag *octave_signal;       // set by any signal Octave handles
    void (*octave_handle_signal)();        // Octave's own response to it
};

// Whatever the host process offers; none where it offers nothing.
InterruptSource find_interrupt_source();

// What a wait does about the host.
enum class HostStop {
    None,
    // MATLAB's Ctrl+C: the call raises an error, the flag left for MATLAB.
    Error,
    // Octave's Ctrl+C: the call returns at once with the flag left pending,
    // and Octave stops the script itself, as it does for its own pause.
    Return,
    // Another signal for Octave (SIGTERM, SIGHUP, but also SIGCHLD): only
    // Octave's own response tells whether it ends the session.
    Signal,
};

// Asked only from the thread that called mexFunction: MATLAB allows no other.
inline HostStop host_stop(const InterruptSource &source) {
    if (source.octave_interrupt && *source.octave_interrupt > 0) return HostStop::Return;
    if (source.octave_signal && *source.octave_signal) return HostStop::Signal;
    if (source.is_interrupt_pending && source.is_interrupt_pending()) return HostStop::Error;
    return HostStop::None;
}

// Octave's check between statements, as its own pause makes it: the signal
// is taken off the flag and handled, which ends the process for SIGTERM and
// may raise an error for Ctrl+C. The caller has given back what it holds.
// Without the handler, the flag stays and the call returns as for Ctrl+C.
inline HostStop respond_to_signal(const InterruptSource &source) {
    if (!source.octave_handle_signal) return HostStop::Return;
    *source.octave_signal = 0;
    source.octave_handle_signal();
    return host_stop(source);
}

}  // namespace mextime

#endif
