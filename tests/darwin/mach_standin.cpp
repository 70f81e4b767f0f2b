#include "mach_standin.h"

#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <mutex>

namespace {

std::mutex lock;
std::vector<std::string> calls;
mach_timebase_info_data_t timebase{standin::APPLE_SILICON_NUMER, standin::APPLE_SILICON_DENOM};
kern_return_t timebase_result = KERN_SUCCESS;
bool held;
std::uint64_t held_ticks;
int aborted_waits;
long realtime_resolution = -1;
int process_nice;
bool privileged;

// A thread's policies start as macOS's defaults: timeshare, no latency tier.
thread_local standin::ThreadPolicies policies{false, {0, 0, 0, 1}, LATENCY_QOS_TIER_UNSPECIFIED, 0};

template <typename... Args>
void record(const char *format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    std::lock_guard<std::mutex> guard(lock);
    calls.emplace_back(text);
}

long long monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

}  // namespace

namespace standin {

void reset() {
    std::lock_guard<std::mutex> guard(lock);
    calls.clear();
    timebase = {APPLE_SILICON_NUMER, APPLE_SILICON_DENOM};
    timebase_result = KERN_SUCCESS;
    held = false;
    aborted_waits = 0;
    realtime_resolution = -1;
    process_nice = 0;
    privileged = false;
    policies = {false, {0, 0, 0, 1}, LATENCY_QOS_TIER_UNSPECIFIED, 0};
}

void set_timebase(std::uint32_t numer, std::uint32_t denom, kern_return_t result) {
    timebase = {numer, denom};
    timebase_result = result;
}

void hold_counter(std::uint64_t ticks) {
    held = true;
    held_ticks = ticks;
}

void release_counter() { held = false; }

// Nanoseconds in ticks of numer/denom ns each.
std::uint64_t counter_now() {
    if (held) return held_ticks;
    return static_cast<std::uint64_t>(static_cast<unsigned __int128>(monotonic_ns()) * timebase.denom / timebase.numer);
}

void abort_waits(int count) { aborted_waits = count; }
void note(const char *event) { record("%s", event); }

void set_nice(int value, bool root) {
    process_nice = value;
    privileged = root;
}

int nice() { return process_nice; }
void set_realtime_resolution(long ns) { realtime_resolution = ns; }

std::vector<std::string> take_calls() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

ThreadPolicies thread_policies() { return policies; }

}  // namespace standin

extern "C" {

kern_return_t mach_timebase_info(mach_timebase_info_t info) {
    record("mach_timebase_info");
    // Filled even when it fails: only the result tells that it did.
    *info = timebase;
    return timebase_result;
}

uint64_t mach_absolute_time(void) {
    record("mach_absolute_time");
    return standin::counter_now();
}

// Sleeps to the deadline's instant on CLOCK_MONOTONIC, the first
// nanosecond at or after it.
kern_return_t mach_wait_until(uint64_t deadline) {
    record("mach_wait_until(%llu)", static_cast<unsigned long long>(deadline));
    if (aborted_waits > 0) {
        --aborted_waits;
        return KERN_ABORTED;
    }
    const unsigned __int128 ns = (static_cast<unsigned __int128>(deadline) * timebase.numer + timebase.denom - 1) / timebase.denom;
    const timespec until{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    return KERN_SUCCESS;
}

// Each thread's port is its pthread_t, cut to the port's width; the tests
// call from one thread at a time.
mach_port_t pthread_mach_thread_np(pthread_t thread) {
    return static_cast<mach_port_t>(reinterpret_cast<std::uintptr_t>(reinterpret_cast<void *>(thread)));
}

kern_return_t thread_policy_set(thread_act_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t count) {
    if (thread != pthread_mach_thread_np(pthread_self())) {
        record("thread_policy_set(another thread)");
        return KERN_INVALID_ARGUMENT;
    }
    switch (flavor) {
    case THREAD_EXTENDED_POLICY: {  // also THREAD_STANDARD_POLICY's flavor
        if (count == THREAD_STANDARD_POLICY_COUNT) {
            record("thread_policy_set(standard)");
            policies.time_constraint = false;
            return KERN_SUCCESS;
        }
        if (count != THREAD_EXTENDED_POLICY_COUNT) break;
        const auto *p = reinterpret_cast<const thread_extended_policy_data_t *>(info);
        record("thread_policy_set(extended, timeshare=%d)", p->timeshare);
        policies.time_constraint = policies.time_constraint && !p->timeshare;
        return KERN_SUCCESS;
    }
    case THREAD_TIME_CONSTRAINT_POLICY: {
        if (count != THREAD_TIME_CONSTRAINT_POLICY_COUNT) break;
        const auto *p = reinterpret_cast<const thread_time_constraint_policy_data_t *>(info);
        record("thread_policy_set(time_constraint, period=%u, computation=%u, constraint=%u, preemptible=%d)",
               p->period, p->computation, p->constraint, p->preemptible);
        // macOS refuses a computation above the constraint, or one too short.
        if (p->computation > p->constraint || p->constraint > p->period) return KERN_INVALID_ARGUMENT;
        policies.time_constraint = true;
        policies.constraint = *p;
        return KERN_SUCCESS;
    }
    case THREAD_PRECEDENCE_POLICY: {
        if (count != THREAD_PRECEDENCE_POLICY_COUNT) break;
        const auto *p = reinterpret_cast<const thread_precedence_policy_data_t *>(info);
        record("thread_policy_set(precedence, importance=%d)", p->importance);
        policies.importance = p->importance;
        return KERN_SUCCESS;
    }
    case THREAD_LATENCY_QOS_POLICY: {
        if (count != THREAD_LATENCY_QOS_POLICY_COUNT) break;
        const auto *p = reinterpret_cast<const thread_latency_qos_policy_data_t *>(info);
        record("thread_policy_set(latency_qos, tier=0x%x)", static_cast<unsigned>(p->thread_latency_qos_tier));
        policies.latency_tier = p->thread_latency_qos_tier;
        return KERN_SUCCESS;
    }
    }
    record("thread_policy_set(flavor %u, count %u)", flavor, count);
    return KERN_INVALID_ARGUMENT;
}

kern_return_t thread_policy_get(thread_inspect_t thread, thread_policy_flavor_t flavor, thread_policy_t info,
                                mach_msg_type_number_t *count, boolean_t *get_default) {
    record("thread_policy_get(%u)", flavor);
    if (thread != pthread_mach_thread_np(pthread_self())) return KERN_INVALID_ARGUMENT;
    const bool want_default = *get_default;
    switch (flavor) {
    case THREAD_EXTENDED_POLICY:
        if (*count < THREAD_EXTENDED_POLICY_COUNT) break;
        reinterpret_cast<thread_extended_policy_data_t *>(info)->timeshare = want_default || !policies.time_constraint;
        *count = THREAD_EXTENDED_POLICY_COUNT;
        *get_default = want_default;
        return KERN_SUCCESS;
    case THREAD_TIME_CONSTRAINT_POLICY:
        if (*count < THREAD_TIME_CONSTRAINT_POLICY_COUNT) break;
        // As macOS: a thread not under the policy gets the defaults, and is told so.
        *reinterpret_cast<thread_time_constraint_policy_data_t *>(info) = policies.constraint;
        *get_default = want_default || !policies.time_constraint;
        *count = THREAD_TIME_CONSTRAINT_POLICY_COUNT;
        return KERN_SUCCESS;
    case THREAD_PRECEDENCE_POLICY:
        if (*count < THREAD_PRECEDENCE_POLICY_COUNT) break;
        reinterpret_cast<thread_precedence_policy_data_t *>(info)->importance = want_default ? 0 : policies.importance;
        *count = THREAD_PRECEDENCE_POLICY_COUNT;
        *get_default = want_default;
        return KERN_SUCCESS;
    case THREAD_LATENCY_QOS_POLICY:
        if (*count < THREAD_LATENCY_QOS_POLICY_COUNT) break;
        reinterpret_cast<thread_latency_qos_policy_data_t *>(info)->thread_latency_qos_tier =
            want_default ? LATENCY_QOS_TIER_UNSPECIFIED : policies.latency_tier;
        *count = THREAD_LATENCY_QOS_POLICY_COUNT;
        *get_default = want_default;
        return KERN_SUCCESS;
    }
    return KERN_INVALID_ARGUMENT;
}

// The whole process's nice value, as macOS keeps it for PRIO_PROCESS 0.
int getpriority(int which, id_t who) noexcept {
    if (which != PRIO_PROCESS || who != 0) {
        errno = EINVAL;
        return -1;
    }
    return process_nice;
}

int setpriority(int which, id_t who, int value) noexcept {
    record("setpriority(%d)", value);
    if (which != PRIO_PROCESS || who != 0) {
        errno = EINVAL;
        return -1;
    }
    if (value < process_nice && !privileged) {
        errno = EACCES;
        return -1;
    }
    process_nice = value < -20 ? -20 : value > 20 ? 20 : value;
    return 0;
}

// macOS's C library answers CLOCK_REALTIME's resolution in microseconds.
int clock_getres(clockid_t clock, timespec *resolution) noexcept {
    using getres = int (*)(clockid_t, timespec *);
    static const getres next = reinterpret_cast<getres>(dlsym(RTLD_NEXT, "clock_getres"));
    if (clock != CLOCK_REALTIME || realtime_resolution < 0) return next(clock, resolution);
    record("clock_getres(CLOCK_REALTIME)");
    if (realtime_resolution == 0) {
        errno = EINVAL;
        return -1;
    }
    *resolution = {0, realtime_resolution};
    return 0;
}

}  // extern "C"
