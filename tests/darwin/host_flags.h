// The hosts' flags as the test program defines them (host_flags.cpp).
#ifndef MEXTIME_TESTS_DARWIN_HOST_FLAGS_H
#define MEXTIME_TESTS_DARWIN_HOST_FLAGS_H

struct HostFlags {
    bool matlab_interrupt;
};
extern HostFlags host_flags;

extern "C" {
extern int octave_interrupt_state;
extern volatile int octave_signal_caught;
}

#endif
