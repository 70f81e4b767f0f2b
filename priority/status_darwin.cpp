// Status on macOS: the process's nice value, as on Linux, and the calling
// thread's policy: the time constraint by its name, the ordinary timeshare
// policy in the word Windows uses for the ordinary level, as mextimecheck
// reads it. A time-constraint thread that ran long without blocking is
// demoted to timeshare by the kernel's fail-safe for a while, though
// thread_policy_get still answers its time constraint: the policy in
// effect (THREAD_BASIC_INFO's) tells.
#include "platform_text.h"
#include "priority.h"
#include "scheduling_darwin.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace mextime {
namespace {

constexpr std::uint64_t NS_PER_SECOND = 1000000000;
// The tier's number sits in the low bits of thread_latency_qos_t.
constexpr unsigned LATENCY_TIER_BITS = 0xFFFF;

// Unreadable, the policy is taken as the one thread_policy_get answered.
bool runs_timeshare() {
    thread_basic_info_data_t info{};
    mach_msg_type_number_t count = THREAD_BASIC_INFO_COUNT;
    return thread_info(calling_thread(), THREAD_BASIC_INFO, reinterpret_cast<thread_info_t>(&info), &count) ==
               KERN_SUCCESS &&
           info.policy == POLICY_TIMESHARE;
}

}  // namespace

void read_status(Status &status) {
    int nice = 0;
    thread_time_constraint_policy_data_t policy{};
    bool on = false;
    read_nice(nice);
    read_time_constraint(policy, on);
    const bool demoted = on && runs_timeshare();
    status.realtime = on && !demoted;
    std::snprintf(status.process, sizeof status.process, "nice %d", nice);
    std::snprintf(status.thread, sizeof status.thread, "%s",
                  demoted ? "demoted to timeshare" : on ? "time constraint" : "normal");
}

namespace {

// The words of pthread/qos.h's classes, as a log would want them.
const char *class_word(qos_class_t cls) {
    switch (cls) {
    case QOS_CLASS_USER_INTERACTIVE: return "user-interactive";
    case QOS_CLASS_USER_INITIATED: return "user-initiated";
    case QOS_CLASS_DEFAULT: return "default";
    case QOS_CLASS_UTILITY: return "utility";
    case QOS_CLASS_BACKGROUND: return "background";
    case QOS_CLASS_UNSPECIFIED: return "unspecified";
    default: return nullptr;
    }
}

// The latency tier the waits' bracket obtains here, found as the bracket
// finds it and given back at once: a thread with a QoS class takes
// user-interactive, which implies tier 0 (osfmk/kern/thread_policy.c); one
// without asks for tier 0 and reads it back. -1: not told.
int wait_latency_tier() {
    const QosClass qos = read_class();
    if (qos.cls == QOS_CLASS_USER_INTERACTIVE) return 0;
    if (qos.cls != QOS_CLASS_UNSPECIFIED && pthread_set_qos_class_self_np(QOS_CLASS_USER_INTERACTIVE, 0) == 0) {
        const bool granted = read_class().cls == QOS_CLASS_USER_INTERACTIVE;
        give_back_class(qos);
        return granted ? 0 : -1;
    }
    thread_latency_qos_policy_data_t prior{LATENCY_QOS_TIER_UNSPECIFIED}, asked{LATENCY_QOS_TIER_0},
        got{LATENCY_QOS_TIER_UNSPECIFIED};
    mach_msg_type_number_t count = THREAD_LATENCY_QOS_POLICY_COUNT;
    boolean_t get_default = 0;
    if (thread_policy_get(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&prior),
                          &count, &get_default) != KERN_SUCCESS)
        return -1;
    thread_policy_set(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&asked),
                      THREAD_LATENCY_QOS_POLICY_COUNT);
    count = THREAD_LATENCY_QOS_POLICY_COUNT;
    get_default = 0;
    const kern_return_t read = thread_policy_get(calling_thread(), THREAD_LATENCY_QOS_POLICY,
                                                 reinterpret_cast<thread_policy_t>(&got), &count, &get_default);
    thread_policy_set(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&prior),
                      THREAD_LATENCY_QOS_POLICY_COUNT);
    // Tier n is 0xFF0000 | (n + 1); unspecified is 0.
    const unsigned tier = static_cast<unsigned>(got.thread_latency_qos_tier) & LATENCY_TIER_BITS;
    return read == KERN_SUCCESS && tier > 0 ? static_cast<int>(tier) - 1 : -1;
}

}  // namespace

// What macOS grants the waits and the raise, under the names every
// platform writes.
void read_platform(Status &status) {
    PlatformValues values;
    thread_basic_info_data_t info{};
    mach_msg_type_number_t count = THREAD_BASIC_INFO_COUNT;
    if (thread_info(calling_thread(), THREAD_BASIC_INFO, reinterpret_cast<thread_info_t>(&info), &count) !=
        KERN_SUCCESS)
        values.set(PlatformField::Policy, UNREADABLE);
    else if (info.policy == POLICY_TIMESHARE)
        values.set(PlatformField::Policy, "timeshare");
    else if (info.policy == POLICY_RR)
        values.set(PlatformField::Policy, "rr");
    else
        values.set_number(PlatformField::Policy, static_cast<std::uint64_t>(info.policy));
    const qos_class_t cls = read_class().cls;
    if (const char *word = class_word(cls))
        values.set(PlatformField::QosClass, word);
    else
        values.set_number(PlatformField::QosClass, static_cast<std::uint64_t>(cls));
    const int tier = wait_latency_tier();
    if (tier < 0)
        values.set(PlatformField::LatencyTier, UNREADABLE);
    else
        values.set_number(PlatformField::LatencyTier, static_cast<std::uint64_t>(tier));
    timespec resolution{};
    if (clock_getres(CLOCK_REALTIME, &resolution) == 0)
        values.set_number(PlatformField::UtcResolution,
                          static_cast<std::uint64_t>(resolution.tv_sec) * NS_PER_SECOND +
                              static_cast<std::uint64_t>(resolution.tv_nsec));
    else
        values.set(PlatformField::UtcResolution, UNREADABLE);
    mach_timebase_info_data_t timebase{};
    if (mach_timebase_info(&timebase) == KERN_SUCCESS) {
        values.set_number(PlatformField::Timebase, timebase.numer);
        values.append(PlatformField::Timebase, "/");
        values.append_number(PlatformField::Timebase, timebase.denom);
    } else {
        values.set(PlatformField::Timebase, UNREADABLE);
    }
    values.set(PlatformField::Translated, translated() ? "yes" : "no");
    values.set(PlatformField::Privileged, geteuid() == 0 ? "yes" : "no");
    values.write(status.platform, sizeof status.platform);
}

}  // namespace mextime
