#include "mach_standin.h"

#include <dlfcn.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>

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

}  // namespace

extern "C" {

// The hosts' flags, as MATLAB's libut and Octave define them, for the Darwin
// interrupt file to find by name. Octave's check acts on the signal, which
// its caller has taken off the flag.
bool utIsInterruptPending() { return mac.matlab_interrupt; }
std::atomic<int> octave_interrupt_state;
volatile std::atomic<bool> octave_signal_caught;
void octave_handle_signal() { mac.tier_when_handled = mac.latency_tier; }

kern_return_t mach_timebase_info(mach_timebase_info_t info) {
    *info = mac.timebase;  // filled even when it fails: only the result tells
    return mac.timebase_result;
}

uint64_t mach_absolute_time(void) { return mac.counter++; }

kern_return_t mach_wait_until(uint64_t deadline) {
    mac.waits.emplace_back(deadline, mac.latency_tier);
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

kern_return_t thread_policy_set(thread_act_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t count) {
    if (!is_caller(thread)) return KERN_INVALID_ARGUMENT;
    if (flavor == THREAD_STANDARD_POLICY && count == THREAD_STANDARD_POLICY_COUNT) {
        mac.constraint.clear();
    } else if (flavor == THREAD_TIME_CONSTRAINT_POLICY && count == THREAD_TIME_CONSTRAINT_POLICY_COUNT) {
        const auto *p = reinterpret_cast<const thread_time_constraint_policy_data_t *>(info);
        // macOS refuses a computation longer than the constraint.
        if (p->computation > p->constraint || p->constraint > p->period) return KERN_INVALID_ARGUMENT;
        mac.constraint = {p->period, p->computation, p->constraint, static_cast<std::uint32_t>(p->preemptible)};
    } else if (flavor == THREAD_LATENCY_QOS_POLICY && count == THREAD_LATENCY_QOS_POLICY_COUNT) {
        mac.latency_tier = *info;
    } else {
        return KERN_INVALID_ARGUMENT;
    }
    return KERN_SUCCESS;
}

kern_return_t thread_policy_get(thread_inspect_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t *count, boolean_t *get_default) {
    if (!is_caller(thread)) return KERN_INVALID_ARGUMENT;
    if (flavor == THREAD_LATENCY_QOS_POLICY && *count >= THREAD_LATENCY_QOS_POLICY_COUNT) {
        *info = *get_default ? LATENCY_QOS_TIER_UNSPECIFIED : mac.latency_tier;
        return KERN_SUCCESS;
    }
    if (flavor != THREAD_TIME_CONSTRAINT_POLICY || *count < THREAD_TIME_CONSTRAINT_POLICY_COUNT)
        return KERN_INVALID_ARGUMENT;
    // As macOS: a thread not under the policy gets the defaults, and is told so.
    *get_default = *get_default || mac.constraint.empty();
    const std::vector<std::uint32_t> &c = mac.constraint;
    if (!*get_default) *reinterpret_cast<thread_time_constraint_policy_data_t *>(info) = {c[0], c[1], c[2], int(c[3])};
    return KERN_SUCCESS;
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
