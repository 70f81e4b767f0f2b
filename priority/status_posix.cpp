// Status on Linux: the calling thread's nice value, and its policy in chrt's
// and ps's words, as a log would want them.
#include "priority.h"
#include "scheduling_posix.h"

namespace mextime {

void read_status(Status &status) {
    int policy = -1, priority = 0, nice = 0;
    read_scheduling(policy, priority);
    read_nice(0, nice);
    status.realtime = real_time(policy);
    write_status_text(status.process, "nice", nice);
    switch (policy) {
    case SCHED_FIFO: write_status_text(status.thread, "fifo", priority); break;
    case SCHED_RR: write_status_text(status.thread, "rr", priority); break;
    case SCHED_OTHER: write_status_text(status.thread, "other"); break;
    case SCHED_BATCH: write_status_text(status.thread, "batch"); break;
    case SCHED_IDLE: write_status_text(status.thread, "idle"); break;
    default: write_status_text(status.thread, "", policy); break;
    }
}

}  // namespace mextime
