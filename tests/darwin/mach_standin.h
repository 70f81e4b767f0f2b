// The Mac that the Darwin files act on here, through the stand-in Mach calls
// (mach_standin.cpp): its counter runs only as the code reads it (a tick per
// reading) or waits (to the deadline), so every wait is exact and instant.
// Each test starts on a fresh one.
#ifndef MEXTIME_TESTS_DARWIN_MACH_STANDIN_H
#define MEXTIME_TESTS_DARWIN_MACH_STANDIN_H

#include <mach/mach.h>
#include <pthread/qos.h>

#include <atomic>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

namespace standin {

// A QoS class as pthread names it, with its relative priority.
struct Qos {
    qos_class_t cls = QOS_CLASS_UNSPECIFIED;
    int relpri = 0;
    bool operator==(const Qos &other) const { return cls == other.cls && relpri == other.relpri; }
};

inline void PrintTo(const Qos &q, std::ostream *os) { *os << "class " << q.cls << " " << q.relpri; }
constexpr Qos kNone{}, kInteractive{QOS_CLASS_USER_INTERACTIVE, 0}, kInitiated{QOS_CLASS_USER_INITIATED, -3};

struct Mac {
    // The kernel's timebase, which mach_timebase_info answers natively:
    // Apple silicon's 24 MHz.
    mach_timebase_info_data_t timebase{125, 3};
    kern_return_t timebase_result = KERN_SUCCESS;
    // sysctl.proc_translated: 1 under Rosetta, where mach_timebase_info
    // answers an Intel Mac's 1/1; 0 natively on Apple silicon; -1 where
    // the name does not exist (Intel Macs).
    int translated = 0;
    std::uint64_t counter = 0;
    // The next this many waits end at once with KERN_ABORTED, as when a
    // signal breaks them off.
    int aborted_waits = 0;
    // Each wait's deadline, and the thread's effective latency tier as it
    // waited.
    std::vector<std::pair<std::uint64_t, int>> waits;
    // clock_getres(CLOCK_REALTIME) in ns, macOS's microsecond; 0: it fails.
    long realtime_resolution = 1000;
    // The process's nice value; only root is granted a stronger one.
    int nice = 0;
    bool root = false;
    // The calling thread's time constraint (period, computation, constraint,
    // preemptible), none under timeshare; whether the kernel raised the
    // computation asked for; fixed priority (THREAD_EXTENDED_POLICY's
    // timeshare false); demoted to timeshare by the fail-safe; in a work
    // interval that refuses real time; and its requested latency tier.
    std::vector<std::uint32_t> constraint;
    bool computation_raised = false;
    bool fixed = false;
    bool demoted = false;
    bool realtime_refused = false;
    int latency_tier = LATENCY_QOS_TIER_UNSPECIFIED;
    // The thread's requested QoS class as the kernel keeps it, pthread's own
    // copy of it, whether the thread is one of dispatch's (workqueue), and
    // how many times a class was asked for.
    Qos qos, pthread_qos;
    bool workqueue = false;
    int class_requests = 0;
    // MATLAB's Ctrl+C, and the thread's tier and class as Octave handled a
    // signal.
    bool matlab_interrupt = false;
    int tier_when_handled = -1;
    Qos qos_when_handled;

    // The thread's QoS class, as pthread_set_qos_class_self_np sets it.
    void set_qos(Qos q) { qos = pthread_qos = q; }
    // The latency tier the thread's timers are coalesced by.
    int effective_latency_tier() const;
};
extern Mac mac;

}  // namespace standin

// Octave's flags as Octave 9 and later declare them (liboctave/util/quit.h).
extern "C" {
extern std::atomic<int> octave_interrupt_state;
extern volatile std::atomic<bool> octave_signal_caught;
}

#endif
