// Restoring on Linux: nice 0 for every thread that was raised above it, then
// the ordinary policy for the calling thread. Neither needs a privilege.
#include "priority.h"
#include "scheduling_linux.h"

namespace mextime {
namespace {

// A positive nice value is the user's own choice and stays.
void restore_thread_nice(id_t tid) {
    int current;
    if (read_nice(tid, current) && current < 0) setpriority(PRIO_PROCESS, tid, 0);
}

}  // namespace

void restore_process() { for_each_thread(restore_thread_nice); }

// Only a privileged thread may drop the reset-on-fork flag; any other keeps
// it, which is harmless under the ordinary policy at nice 0 or more.
void restore_calling_thread() {
    if (set_scheduling(SCHED_OTHER, 0) != 0) set_scheduling(SCHED_OTHER | SCHED_RESET_ON_FORK, 0);
}

}  // namespace mextime
