// Status on macOS: the process's nice value, as on Linux, and the calling
// thread's policy: the time constraint by its name, the ordinary timeshare
// policy in the word Windows uses for the ordinary level, as mextimecheck
// reads it.
#include "platform_text.h"
#include "priority.h"
#include "scheduling_darwin.h"

#include <cstdio>

namespace mextime {

void read_status(Status &status) {
    int nice = 0;
    thread_time_constraint_policy_data_t policy{};
    bool on = false;
    read_nice(nice);
    read_time_constraint(policy, on);
    status.realtime = on;
    std::snprintf(status.process, sizeof status.process, "nice %d", nice);
    std::snprintf(status.thread, sizeof status.thread, on ? "time constraint" : "normal");
}

// What macOS grants the waits and the raise: not read yet, every value
// "n/a" under the names every platform writes.
void read_platform(Status &status) {
    const PlatformValues values;
    values.write(status.platform, sizeof status.platform);
}

}  // namespace mextime
