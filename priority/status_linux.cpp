// Status on Linux: the calling thread's nice value, and its policy in chrt's
// and ps's words, as a log would want them; and what the kernel grants the
// waits and the raise.
#include "platform_text.h"
#include "priority.h"
#include "scheduling_linux.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <time.h>

#include <cstdio>

// glibc's wrapper of the system call, which its headers do not declare.
extern "C" int capget(cap_user_header_t header, cap_user_data_t data);

namespace mextime {
namespace {

void policy_words(int policy, int priority, char *out, std::size_t size) {
    switch (policy) {
    case SCHED_FIFO: std::snprintf(out, size, "fifo %d", priority); break;
    case SCHED_RR: std::snprintf(out, size, "rr %d", priority); break;
    case SCHED_OTHER: std::snprintf(out, size, "other"); break;
    case SCHED_BATCH: std::snprintf(out, size, "batch"); break;
    case SCHED_IDLE: std::snprintf(out, size, "idle"); break;
    default: std::snprintf(out, size, "%d", policy); break;
    }
}

constexpr std::uint64_t NS_PER_SECOND = 1000000000;

// A clock's step in ns; false where the clock does not tell.
bool clock_step(clockid_t clock, std::uint64_t &ns) {
    timespec step{};
    if (clock_getres(clock, &step) != 0) return false;
    ns = static_cast<std::uint64_t>(step.tv_sec) * NS_PER_SECOND + static_cast<std::uint64_t>(step.tv_nsec);
    return true;
}

void set_limit(PlatformValues &values, PlatformField field, int resource) {
    rlimit limit{};
    if (getrlimit(static_cast<__rlimit_resource_t>(resource), &limit) != 0) return values.set(field, UNREADABLE);
    if (limit.rlim_cur == RLIM_INFINITY) return values.set(field, "unlimited");
    values.set_number(field, limit.rlim_cur);
}

// CAP_SYS_NICE in the effective set lifts both limits (root has it).
void set_privileged(PlatformValues &values) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (capget(&header, data) != 0) return values.set(PlatformField::Privileged, UNREADABLE);
    const bool nice = (data[CAP_TO_INDEX(CAP_SYS_NICE)].effective & CAP_TO_MASK(CAP_SYS_NICE)) != 0;
    values.set(PlatformField::Privileged, nice ? "yes" : "no");
}

}  // namespace

void read_status(Status &status) {
    int policy = -1, priority = 0, nice = 0;
    read_scheduling(policy, priority);
    read_nice(0, nice);
    status.realtime = real_time(policy);
    std::snprintf(status.process, sizeof status.process, "nice %d", nice);
    policy_words(policy, priority, status.thread, sizeof status.thread);
}

// The high-resolution timers give CLOCK_MONOTONIC's timers a 1 ns step,
// the periodic tick a step of a jiffy.
void read_platform(Status &status) {
    PlatformValues values;
    std::uint64_t ns;
    if (clock_step(CLOCK_MONOTONIC, ns))
        values.set_ms(PlatformField::TimerResolution, ns);
    else
        values.set(PlatformField::TimerResolution, UNREADABLE);
    set_privileged(values);
    int policy, priority;
    bool reset_on_fork;
    if (read_scheduling(policy, priority, reset_on_fork)) {
        char words[PLATFORM_VALUE_SIZE];
        policy_words(policy, priority, words, sizeof words);
        values.set(PlatformField::Policy, words);
        // What the threads it starts will begin with: the ordinary policy.
        if (reset_on_fork) values.append(PlatformField::Policy, " reset-on-fork");
    } else {
        values.set(PlatformField::Policy, UNREADABLE);
    }
    set_limit(values, PlatformField::RlimitRtprio, RLIMIT_RTPRIO);
    set_limit(values, PlatformField::RlimitNice, RLIMIT_NICE);
    const int slack = prctl(PR_GET_TIMERSLACK);
    if (slack >= 0)
        values.set_number(PlatformField::TimerSlack, static_cast<std::uint64_t>(slack));
    else
        values.set(PlatformField::TimerSlack, UNREADABLE);
    if (clock_step(CLOCK_REALTIME, ns))
        values.set_number(PlatformField::UtcResolution, ns);
    else
        values.set(PlatformField::UtcResolution, UNREADABLE);
    values.write(status.platform, sizeof status.platform);
}

}  // namespace mextime
