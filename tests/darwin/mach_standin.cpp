#include "mach_standin.h"

#include <dlfcn.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstring>

standin::Mac standin::mac;
using standin::mac;

namespace {

// Each test starts on a fresh Mac, with the hosts' flags down.
struct FreshMac : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override {
        mac = {};
        octave_interrupt_state = 0;
        octave_signal_caught = 0;
    }
};
[[maybe_unused]] const bool fresh_mac = (testing::UnitTest::GetInstance()->listeners().Append(new FreshMac), true);

bool is_caller(thread_act_t thread) { return thread == pthread_mach_thread_np(pthread_self()); }

// Nanoseconds in the kernel's own ticks, whatever Rosetta answers.
std::uint64_t native_ticks(std::uint64_t ns) { return ns * mac.timebase.denom / mac.timebase.numer; }

// The limits of a time constraint's computation (sched_prim.c,
// sched_realtime_timebase_init: min_rt_quantum and max_rt_quantum), and the
// standard quantum the policy's defaults derive from (sched_timeshare_init:
// 100 preemptions a second).
constexpr std::uint64_t MIN_RT_COMPUTATION_NS = 50000;
constexpr std::uint64_t MAX_RT_COMPUTATION_NS = 50000000;
constexpr std::uint64_t STD_QUANTUM_NS = 10000000;

// What thread_policy.c's thread_policy_set_internal does with each flavor.
kern_return_t set_policy(thread_policy_flavor_t flavor, thread_policy_t info, mach_msg_type_number_t count) {
    if (flavor == THREAD_EXTENDED_POLICY) {
        // The standard flavor is the extended one without its field: timeshare.
        mac.fixed = count >= THREAD_EXTENDED_POLICY_COUNT && !info[0];
        mac.constraint.clear();
        return KERN_SUCCESS;
    }
    if (flavor == THREAD_TIME_CONSTRAINT_POLICY && count >= THREAD_TIME_CONSTRAINT_POLICY_COUNT) {
        // The kernel's own copy of the message.
        thread_time_constraint_policy_data_t p = *reinterpret_cast<thread_time_constraint_policy_data_t *>(info);
        // Refused: a computation longer than the constraint, or outside
        // 50 us to 50 ms; the period is not checked. Since macOS 12 a
        // computation under half the constraint is raised to half.
        if (p.constraint < p.computation || p.computation > native_ticks(MAX_RT_COMPUTATION_NS) ||
            p.computation < native_ticks(MIN_RT_COMPUTATION_NS))
            return KERN_INVALID_ARGUMENT;
        mac.computation_raised = p.computation < p.constraint / 2;
        if (mac.computation_raised) p.computation = p.constraint / 2;
        mac.constraint = {p.period, p.computation, p.constraint, static_cast<std::uint32_t>(p.preemptible)};
        mac.fixed = false;
        return KERN_SUCCESS;
    }
    if (flavor == THREAD_LATENCY_QOS_POLICY && count >= THREAD_LATENCY_QOS_POLICY_COUNT) {
        // qos_latency_policy_validate: unspecified, or a tier from 0 to 5.
        const int tier = *info;
        if (tier != LATENCY_QOS_TIER_UNSPECIFIED && (tier < LATENCY_QOS_TIER_0 || tier > LATENCY_QOS_TIER_5))
            return KERN_INVALID_ARGUMENT;
        mac.latency_tier = tier;
        return KERN_SUCCESS;
    }
    return KERN_INVALID_ARGUMENT;
}

// The tier each QoS class implies (thread_policy.c,
// thread_qos_policy_params.qos_latency_qos; QOS_CLASS_DEFAULT is the
// kernel's THREAD_QOS_LEGACY).
int class_latency_tier(qos_class_t cls) {
    switch (cls) {
    case QOS_CLASS_USER_INTERACTIVE: return LATENCY_QOS_TIER_0;
    case QOS_CLASS_USER_INITIATED:
    case QOS_CLASS_DEFAULT: return LATENCY_QOS_TIER_1;
    case QOS_CLASS_UTILITY:
    case QOS_CLASS_BACKGROUND: return LATENCY_QOS_TIER_3;
    default: return LATENCY_QOS_TIER_UNSPECIFIED;
    }
}

}  // namespace

// The larger of the tier the thread asked for and the one its class
// implies (thread_policy.c, thread_policy_update_internal_spinlocked: the
// tiers are ordered as their values).
int standin::Mac::effective_latency_tier() const { return std::max(latency_tier, class_latency_tier(qos.cls)); }

extern "C" {

// The hosts' flags, as MATLAB's libut and Octave define them, for the Darwin
// interrupt file to find by name. Octave's check acts on the signal, which
// its caller has taken off the flag.
bool utIsInterruptPending() { return mac.matlab_interrupt; }
std::atomic<int> octave_interrupt_state;
volatile std::atomic<bool> octave_signal_caught;
void octave_handle_signal() {
    mac.tier_when_handled = mac.effective_latency_tier();
    mac.qos_when_handled = mac.qos;
}

// Under Rosetta, an Intel Mac's nanosecond: translated code gets 1/1 (the
// Eclectic Light Company, "Inside M1 Macs: time and logs", 2020), while the
// kernel's own clock_timebase_info stays the 24 MHz one (osfmk/arm/rtclock.c;
// machine_task.c: "Rosetta tasks expect Apple timebase").
kern_return_t mach_timebase_info(mach_timebase_info_t info) {
    *info = mac.translated == 1 ? mach_timebase_info_data_t{1, 1} : mac.timebase;
    // Filled even when it fails: only the result tells.
    return mac.timebase_result;
}

// kern_sysctl.c's sysctl.proc_translated, which only a kernel with Rosetta
// (CONFIG_ROSETTA: Apple silicon) has: an int, 1 when translated.
int sysctlbyname(const char *name, void *old, size_t *old_size, void *, size_t) {
    if (std::strcmp(name, "sysctl.proc_translated") != 0 || mac.translated < 0) {
        errno = ENOENT;
        return -1;
    }
    if (*old_size < sizeof(int)) {
        errno = ENOMEM;
        return -1;
    }
    *static_cast<int *>(old) = mac.translated;
    *old_size = sizeof(int);
    return 0;
}

uint64_t mach_absolute_time(void) { return mac.counter++; }

kern_return_t mach_wait_until(uint64_t deadline) {
    mac.waits.emplace_back(deadline, mac.effective_latency_tier());
    if (mac.aborted_waits > 0) {
        --mac.aborted_waits;
        return KERN_ABORTED;
    }
    mac.counter = std::max<std::uint64_t>(mac.counter, deadline);
    return KERN_SUCCESS;
}

// A thread's port is its pthread_t, cut to the port's width.
mach_port_t pthread_mach_thread_np(pthread_t thread) {
    return static_cast<mach_port_t>(reinterpret_cast<std::uintptr_t>(reinterpret_cast<void *>(thread)));
}

// thread_policy.c, thread_policy_set: a thread in a work interval that
// does not allow real time is refused a time constraint at once. Otherwise
// the thread's QoS class is taken away first, whatever the flavor, and
// given back only when the policy is refused.
kern_return_t thread_policy_set(thread_act_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t count) {
    if (!is_caller(thread)) return KERN_INVALID_ARGUMENT;
    if (flavor == THREAD_TIME_CONSTRAINT_POLICY && mac.realtime_refused) return KERN_INVALID_POLICY;
    const standin::Qos before = mac.qos;
    mac.qos = {};
    const kern_return_t result = set_policy(flavor, info, count);
    if (result != KERN_SUCCESS) mac.qos = before;
    return result;
}

// thread_policy.c, thread_policy_get. A time constraint is answered while
// the thread is demoted too (its saved mode is still real time); a thread
// not under it gets the policy's defaults, and is told so.
kern_return_t thread_policy_get(thread_inspect_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t *count, boolean_t *get_default) {
    if (!is_caller(thread)) return KERN_INVALID_ARGUMENT;
    if (flavor == THREAD_LATENCY_QOS_POLICY && *count >= THREAD_LATENCY_QOS_POLICY_COUNT) {
        *info = *get_default ? LATENCY_QOS_TIER_UNSPECIFIED : mac.latency_tier;
        return KERN_SUCCESS;
    }
    if (flavor == THREAD_EXTENDED_POLICY && *count >= THREAD_EXTENDED_POLICY_COUNT) {
        // A real-time thread is answered the default, timeshare.
        if (!mac.constraint.empty()) *get_default = 1;
        info[0] = *get_default || !mac.fixed;
        return KERN_SUCCESS;
    }
    if (flavor != THREAD_TIME_CONSTRAINT_POLICY || *count < THREAD_TIME_CONSTRAINT_POLICY_COUNT)
        return KERN_INVALID_ARGUMENT;
    *get_default = *get_default || mac.constraint.empty();
    const std::vector<std::uint32_t> &c = mac.constraint;
    auto *policy = reinterpret_cast<thread_time_constraint_policy_data_t *>(info);
    if (*get_default)
        *policy = {0, static_cast<std::uint32_t>(native_ticks(STD_QUANTUM_NS / 2)),
                   static_cast<std::uint32_t>(native_ticks(STD_QUANTUM_NS)), 1};
    else
        *policy = {c[0], c[1], c[2], int(c[3])};
    return KERN_SUCCESS;
}

// thread.c, retrieve_thread_basic_info: the policy in effect, timeshare or
// not (a demoted thread runs under timeshare).
kern_return_t thread_info(thread_inspect_t thread, thread_flavor_t flavor, thread_info_t out,
                          mach_msg_type_number_t *count) {
    if (!is_caller(thread) || flavor != THREAD_BASIC_INFO || *count < THREAD_BASIC_INFO_COUNT)
        return KERN_INVALID_ARGUMENT;
    thread_basic_info_data_t info{};
    info.policy = (!mac.constraint.empty() || mac.fixed) && !mac.demoted ? POLICY_RR : POLICY_TIMESHARE;
    std::memcpy(out, &info, sizeof info);
    *count = THREAD_BASIC_INFO_COUNT;
    return KERN_SUCCESS;
}

// libpthread's qos.c: pthread's copy, which a Mach call that took the
// class away leaves as it was.
int pthread_get_qos_class_np(pthread_t thread, qos_class_t *cls, int *relpri) {
    if (!pthread_equal(thread, pthread_self())) return EINVAL;
    *cls = mac.pthread_qos.cls;
    *relpri = mac.pthread_qos.relpri;
    return 0;
}

// libpthread's qos.c, then pthread_workqueue.c's bsdthread_set_self: a
// thread outside dispatch's pool whose class was taken away is refused
// one for good (EPERM); pthread's copy changes only on success.
int pthread_set_qos_class_self_np(qos_class_t cls, int relpri) {
    ++mac.class_requests;
    if (relpri > 0 || relpri < QOS_MIN_RELATIVE_PRIORITY || class_latency_tier(cls) == LATENCY_QOS_TIER_UNSPECIFIED)
        return EINVAL;
    if (!mac.workqueue && mac.qos.cls == QOS_CLASS_UNSPECIFIED) return EPERM;
    mac.set_qos({cls, relpri});
    return 0;
}

// The whole process's nice value, as macOS keeps it for PRIO_PROCESS 0.
int getpriority(int which, id_t who) noexcept {
    if (which == PRIO_PROCESS && who == 0) return mac.nice;
    errno = EINVAL;
    return -1;
}

int setpriority(int which, id_t who, int value) noexcept {
    if (which != PRIO_PROCESS || who != 0 || (value < mac.nice && !mac.root)) {
        errno = EACCES;
        return -1;
    }
    mac.nice = std::clamp(value, -20, 20);
    return 0;
}

// macOS's C library answers CLOCK_REALTIME's resolution in microseconds.
int clock_getres(clockid_t clock, timespec *resolution) noexcept {
    static const auto next = reinterpret_cast<int (*)(clockid_t, timespec *)>(dlsym(RTLD_NEXT, "clock_getres"));
    if (clock != CLOCK_REALTIME) return next(clock, resolution);
    if (mac.realtime_resolution == 0) {
        errno = EINVAL;
        return -1;
    }
    *resolution = {0, mac.realtime_resolution};
    return 0;
}

}  // extern "C"
