// What the Darwin priority operations share: the calling thread's Mach
// port, its QoS class, its time-constraint policy read and set, the
// process's nice value, and the layout of a standing.
#ifndef MEXTIME_PRIORITY_SCHEDULING_DARWIN_H
#define MEXTIME_PRIORITY_SCHEDULING_DARWIN_H

#include <errno.h>
#include <mach/mach.h>
#include <mach/mach_time.h>
#include <pthread.h>
#include <pthread/qos.h>
#include <sys/resource.h>
#include <sys/sysctl.h>

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

// The QoS class pthread keeps for the calling thread (its own copy: a Mach
// call that took the class away leaves it as it was).
struct QosClass {
    qos_class_t cls;
    int relative_priority;
};

inline QosClass read_class() {
    QosClass qos{QOS_CLASS_UNSPECIFIED, 0};
    if (pthread_get_qos_class_np(pthread_self(), &qos.cls, &qos.relative_priority) != 0)
        qos = {QOS_CLASS_UNSPECIFIED, 0};
    return qos;
}

// thread_policy_set takes the thread's QoS class away, whatever the policy,
// and macOS refuses it back to any thread but dispatch's (EPERM): after
// each set, the class is asked for again all the same, silently.
inline void give_back_class(QosClass qos) {
    if (qos.cls != QOS_CLASS_UNSPECIFIED) pthread_set_qos_class_self_np(qos.cls, qos.relative_priority);
}

inline kern_return_t set_time_constraint(thread_time_constraint_policy_data_t policy) {
    return thread_policy_set(calling_thread(), THREAD_TIME_CONSTRAINT_POLICY,
                             reinterpret_cast<thread_policy_t>(&policy), THREAD_TIME_CONSTRAINT_POLICY_COUNT);
}

// The ordinary timeshare policy, for a thread under another (true then):
// one under it already is left alone, and keeps its class. The standard
// flavor takes no fields, but a place for them all the same.
inline bool set_timeshare() {
    thread_time_constraint_policy_data_t policy{};
    bool on = false;
    thread_extended_policy_data_t extended{1};
    mach_msg_type_number_t count = THREAD_EXTENDED_POLICY_COUNT;
    boolean_t get_default = 0;
    if (read_time_constraint(policy, on) && !on &&
        thread_policy_get(calling_thread(), THREAD_EXTENDED_POLICY, reinterpret_cast<thread_policy_t>(&extended),
                          &count, &get_default) == KERN_SUCCESS &&
        extended.timeshare)
        return false;
    integer_t none = 0;
    thread_policy_set(calling_thread(), THREAD_STANDARD_POLICY, &none, THREAD_STANDARD_POLICY_COUNT);
    return true;
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

// Every Apple silicon Mac's tick: 125/3 ns (24 MHz).
constexpr mach_timebase_info_data_t APPLE_SILICON_TIMEBASE{125, 3};

// Under Rosetta (sysctl.proc_translated, which Intel Macs lack: maci64
// MATLAB on Apple silicon) mach_timebase_info answers an Intel Mac's 1 ns.
inline bool translated() {
    int answer = 0;
    std::size_t size = sizeof answer;
    return sysctlbyname("sysctl.proc_translated", &answer, &size, nullptr, 0) == 0 && answer == 1;
}

// Nanoseconds in the kernel's own ticks, which the time-constraint policy
// counts in: 125/3 ns each on Apple silicon, Rosetta or not, 1 ns on Intel
// Macs.
inline std::uint32_t ns_ticks(std::uint64_t ns) {
    mach_timebase_info_data_t timebase{};
    if (translated())
        timebase = APPLE_SILICON_TIMEBASE;
    else if (mach_timebase_info(&timebase) != KERN_SUCCESS || timebase.numer == 0 || timebase.denom == 0)
        return static_cast<std::uint32_t>(ns);
    return static_cast<std::uint32_t>(ns * timebase.denom / timebase.numer);
}

// A standing on macOS: the process's nice value, then the calling thread's
// time constraint (period, computation and constraint in ticks, and its
// preemptible flag; all 0 under timeshare, as macOS takes no computation
// under 50 us), then its QoS class and relative priority as pthread names
// them (QOS_CLASS_UNSPECIFIED and 0 for none).
constexpr double DARWIN_MARKER = 3002;
constexpr std::size_t MARKER_FIELD = 0, NICE_FIELD = 1, PERIOD_FIELD = 2, COMPUTATION_FIELD = 3, CONSTRAINT_FIELD = 4,
                      PREEMPTIBLE_FIELD = 5, CLASS_FIELD = 6, RELATIVE_PRIORITY_FIELD = 7, DARWIN_FIELDS = 8;

// The earlier layout, without the class: the nice value, whether the
// thread ran under a time constraint (0 or 1), then the policy's four
// fields.
constexpr double EARLIER_DARWIN_MARKER = 3001;
constexpr std::size_t EARLIER_ON_FIELD = 2, EARLIER_DARWIN_FIELDS = 7;

}  // namespace mextime

#endif
