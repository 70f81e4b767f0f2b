// The Mac that the Darwin files act on here, through the stand-in Mach calls
// (mach_standin.cpp): its counter runs only as the code reads it (a tick per
// reading) or waits (to the deadline), so every wait is exact and instant.
// Each test starts on a fresh one.
#ifndef MEXTIME_TESTS_DARWIN_MACH_STANDIN_H
#define MEXTIME_TESTS_DARWIN_MACH_STANDIN_H

#include <mach/mach.h>

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace standin {

struct Mac {
    // What mach_timebase_info answers: Apple silicon's 24 MHz.
    mach_timebase_info_data_t timebase{125, 3};
    kern_return_t timebase_result = KERN_SUCCESS;
    std::uint64_t counter = 0;
    // The next this many waits end at once with KERN_ABORTED, as when a
    // signal breaks them off.
    int aborted_waits = 0;
    // Each wait's deadline, and the thread's latency tier as it waited.
    std::vector<std::pair<std::uint64_t, int>> waits;
    // clock_getres(CLOCK_REALTIME) in ns, macOS's microsecond; 0: it fails.
    long realtime_resolution = 1000;
    // The process's nice value; only root is granted a stronger one.
    int nice = 0;
    bool root = false;
    // The calling thread's time constraint (period, computation, constraint,
    // preemptible), none under timeshare, and its latency tier.
    std::vector<std::uint32_t> constraint;
    int latency_tier = LATENCY_QOS_TIER_UNSPECIFIED;
    // MATLAB's Ctrl+C, and the thread's tier as Octave handled a signal.
    bool matlab_interrupt = false;
    int tier_when_handled = -1;
};
extern Mac mac;

}  // namespace standin

// Octave's flags as Octave 9 and later declare them (liboctave/util/quit.h).
extern "C" {
extern std::atomic<int> octave_interrupt_state;
extern volatile std::atomic<bool> octave_signal_caught;
}

#endif
