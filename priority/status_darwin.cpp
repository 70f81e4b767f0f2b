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

#include <cstdio>

namespace mextime {
namespace {

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

// What macOS grants the waits and the raise: not read yet, every value
// "n/a" under the names every platform writes.
void read_platform(Status &status) {
    const PlatformValues values;
    values.write(status.platform, sizeof status.platform);
}

}  // namespace mextime
