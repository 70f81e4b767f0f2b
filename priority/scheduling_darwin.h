// What the Darwin priority operations share: the calling thread's Mach
// port, its time-constraint policy read and set, the process's nice value,
// and the layout of a standing.
#ifndef MEXTIME_PRIORITY_SCHEDULING_DARWIN_H
#define MEXTIME_PRIORITY_SCHEDULING_DARWIN_H

#include <errno.h>
#include <mach/mach.h>
#include <mach/mach_time.h>
#include <pthread.h>
#include <sys/resource.h>

#include <cstddef>
#include <cstdint>

namespace mextime {

// The port names the thread without a reference to give back, unlike
// mach_thread_self's.
inline thread_act_t calling_thread() { return pthread_mach_thread_np(pthread_self()); }

// The calling thread's time-constraint policy; `on` is false where the
// thread runs under another (macOS then answers the policy's defaults).
inline bool read_time_constraint(thread_time_constraint_policy_data_t &policy, bool &on) {
    mach_msg_type_number_t count = THREAD_TIME_CONSTRAINT_POLICY_COUNT;
    boolean_t get_default = 0;
    if (thread_policy_get(calling_thread(), THREAD_TIME_CONSTRAINT_POLICY,
                          reinterpret_cast<thread_policy_t>(&policy), &count, &get_default) != KERN_SUCCESS)
        return false;
    on = !get_default;
    return true;
}

inline kern_return_t set_time_constraint(thread_time_constraint_policy_data_t policy) {
    return thread_policy_set(calling_thread(), THREAD_TIME_CONSTRAINT_POLICY,
                             reinterpret_cast<thread_policy_t>(&policy), THREAD_TIME_CONSTRAINT_POLICY_COUNT);
}

// The ordinary timeshare policy: the standard flavor takes no fields, but
// a place for them all the same.
inline void set_timeshare() {
    integer_t none = 0;
    thread_policy_set(calling_thread(), THREAD_STANDARD_POLICY, &none, THREAD_STANDARD_POLICY_COUNT);
}

// The process's nice value (-1 is a valid one, so errno tells). On macOS
// PRIO_PROCESS names the whole process.
inline bool read_nice(int &nice) {
    errno = 0;
    nice = getpriority(PRIO_PROCESS, 0);
    return errno == 0;
}

constexpr int STRONGEST_NICE = -20;
constexpr int WEAKEST_NICE = 20;

// Nanoseconds in mach_absolute_time's ticks, which the time-constraint
// policy counts in: 125/3 ns each on Apple silicon, 1 ns on Intel Macs.
inline std::uint32_t ns_ticks(std::uint64_t ns) {
    mach_timebase_info_data_t timebase{};
    if (mach_timebase_info(&timebase) != KERN_SUCCESS || timebase.numer == 0 || timebase.denom == 0)
        return static_cast<std::uint32_t>(ns);
    return static_cast<std::uint32_t>(ns * timebase.denom / timebase.numer);
}

// A standing on macOS: the process's nice value, whether the calling thread
// runs under the time-constraint policy (0 or 1), then that policy's
// period, computation and constraint in ticks and its preemptible flag
// (all 0 where it does not).
constexpr double DARWIN_MARKER = 3001;
constexpr std::size_t MARKER_FIELD = 0, NICE_FIELD = 1, TIME_CONSTRAINT_FIELD = 2, PERIOD_FIELD = 3,
                      COMPUTATION_FIELD = 4, CONSTRAINT_FIELD = 5, PREEMPTIBLE_FIELD = 6, DARWIN_FIELDS = 7;

}  // namespace mextime

#endif
