// Restoring on Linux: nice 0 for every thread that was raised above it, then
// the ordinary policy for the calling thread. Neither needs a privilege. Or
// a standing read before a raise: the calling thread's own nice value, the
// other threads back to theirs, then its policy and priority.
#include "field.h"
#include "priority.h"
#include "scheduling_linux.h"

namespace mextime {
namespace {

constexpr int STRONGEST_NICE = -20;
constexpr int WEAKEST_NICE = 19;

// A positive nice value is the user's own choice and stays.
void restore_thread_nice(id_t tid) {
    int current;
    if (read_nice(tid, current) && current < 0) setpriority(PRIO_PROCESS, tid, 0);
}

// The policies a thread may be given through the thread library; the
// reset-on-fork flag has a field of its own.
bool settable(int policy) {
    return policy == SCHED_OTHER || policy == SCHED_BATCH || policy == SCHED_IDLE || real_time(policy);
}

}  // namespace

void restore_process() { for_each_thread(restore_thread_nice); }

// Only a privileged thread may drop the reset-on-fork flag; any other keeps
// it, which is harmless under the ordinary policy at nice 0 or more.
void restore_calling_thread() {
    if (set_scheduling(SCHED_OTHER, 0) != 0) set_scheduling(SCHED_OTHER | SCHED_RESET_ON_FORK, 0);
}

// A real-time policy takes a priority in the system's range for it, any
// other policy 0.
bool accept_standing(const double *values, std::size_t count, Standing &standing) {
    if (count != LINUX_FIELDS || values[MARKER_FIELD] != LINUX_MARKER) return false;
    int policy, reset_on_fork, priority, nice, others;
    if (!whole_in(values[POLICY_FIELD], SCHED_OTHER, SCHED_IDLE, policy) || !settable(policy)) return false;
    const int least = real_time(policy) ? sched_get_priority_min(policy) : 0;
    const int most = real_time(policy) ? sched_get_priority_max(policy) : 0;
    if (!whole_in(values[RESET_ON_FORK_FIELD], 0, 1, reset_on_fork) ||
        !whole_in(values[RTPRIO_FIELD], least, most, priority) ||
        !whole_in(values[THREAD_NICE_FIELD], STRONGEST_NICE, WEAKEST_NICE, nice) ||
        !whole_in(values[OTHERS_NICE_FIELD], STRONGEST_NICE, WEAKEST_NICE, others))
        return false;
    standing.count = count;
    for (std::size_t i = 0; i < count; ++i) standing.fields[i] = values[i];
    return true;
}

// Every other thread stronger than the weakest of them was goes back to
// it, whether rtboost or a thread started since raised it; one weaker is
// the user's own choice and stays.
void restore_process(const Standing &standing) {
    const int nice = static_cast<int>(standing.fields[THREAD_NICE_FIELD]);
    const int others = static_cast<int>(standing.fields[OTHERS_NICE_FIELD]);
    const id_t self = calling_thread_id();
    for_each_thread([&](id_t tid) {
        int current;
        if (tid == self)
            setpriority(PRIO_PROCESS, tid, nice);
        else if (read_nice(tid, current) && current < others)
            setpriority(PRIO_PROCESS, tid, others);
    });
}

// As without a standing, a thread that may not drop the reset-on-fork flag
// keeps it.
void restore_calling_thread(const Standing &standing) {
    const int policy = static_cast<int>(standing.fields[POLICY_FIELD]);
    const int priority = static_cast<int>(standing.fields[RTPRIO_FIELD]);
    const bool reset_on_fork = standing.fields[RESET_ON_FORK_FIELD] != 0;
    if (set_scheduling(policy | (reset_on_fork ? SCHED_RESET_ON_FORK : 0), priority) != 0 && !reset_on_fork)
        set_scheduling(policy | SCHED_RESET_ON_FORK, priority);
}

}  // namespace mextime
