// Status on Linux: the calling thread's nice value, and its policy in chrt's
// and ps's words, as a log would want them.
#include "priority.h"
#include "scheduling_linux.h"

#include <cstdio>

namespace mextime {

void read_status(Status &status) {
    int policy = -1, priority = 0, nice = 0;
    read_scheduling(policy, priority);
    read_nice(0, nice);
    status.realtime = real_time(policy);
    std::snprintf(status.process, sizeof status.process, "nice %d", nice);
    char *thread = status.thread;
    const std::size_t size = sizeof status.thread;
    switch (policy) {
    case SCHED_FIFO: std::snprintf(thread, size, "fifo %d", priority); break;
    case SCHED_RR: std::snprintf(thread, size, "rr %d", priority); break;
    case SCHED_OTHER: std::snprintf(thread, size, "other"); break;
    case SCHED_BATCH: std::snprintf(thread, size, "batch"); break;
    case SCHED_IDLE: std::snprintf(thread, size, "idle"); break;
    default: std::snprintf(thread, size, "%d", policy); break;
    }
}

}  // namespace mextime
