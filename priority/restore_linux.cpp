// Restoring on Linux: nice 0 for every thread that was raised above it, then
// the ordinary policy for the calling thread. Neither needs a privilege. Or
// a standing read before a raise: the calling thread's own nice value, the
// other threads rtboost raised back to it, then its policy and priority.
#include "field.h"
#include "priority.h"
#include "scheduling_linux.h"

namespace mextime {
namespace {

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

// The calling thread first, also where the threads cannot be listed.
void restore_process() {
    restore_thread_nice(calling_thread_id());
    for_each_thread(restore_thread_nice);
}

// Only a privileged thread may drop the reset-on-fork flag; any other keeps
// it, which is harmless under the ordinary policy at nice 0 or more.
void restore_calling_thread() {
    if (set_scheduling(SCHED_OTHER, 0) != 0) set_scheduling(SCHED_OTHER | SCHED_RESET_ON_FORK, 0);
}

// A real-time policy takes a priority in the system's range for it, any
// other policy 0. The earlier layout's last field is a nice value; this
// one's, a set of nice values stronger than the thread's own.
bool accept_standing(const double *values, std::size_t count, Standing &standing) {
    if (count != LINUX_FIELDS) return false;
    const bool earlier = values[MARKER_FIELD] == EARLIER_LINUX_MARKER;
    if (!earlier && values[MARKER_FIELD] != LINUX_MARKER) return false;
    int policy, reset_on_fork, priority, nice, others;
    std::int64_t kept;
    if (!whole_in(values[POLICY_FIELD], SCHED_OTHER, SCHED_IDLE, policy) || !settable(policy)) return false;
    const int least = real_time(policy) ? sched_get_priority_min(policy) : 0;
    const int most = real_time(policy) ? sched_get_priority_max(policy) : 0;
    if (!whole_in(values[RESET_ON_FORK_FIELD], 0, 1, reset_on_fork) ||
        !whole_in(values[RTPRIO_FIELD], least, most, priority) ||
        !whole_in(values[THREAD_NICE_FIELD], STRONGEST_NICE, WEAKEST_NICE, nice))
        return false;
    if (earlier ? !whole_in(values[KEPT_FIELD], STRONGEST_NICE, WEAKEST_NICE, others)
                : !whole_in(values[KEPT_FIELD], 0, static_cast<std::int64_t>(nice_bit(nice) - 1), kept))
        return false;
    standing.count = count;
    for (std::size_t i = 0; i < count; ++i) standing.fields[i] = values[i];
    return true;
}

// Every other thread stronger than the calling thread was goes back to its
// value, unless another thread had that stronger value then: whether rtboost
// raised it or it started since from a thread rtboost raised. One weaker is
// the user's own choice and stays. The earlier layout gives every other
// thread stronger than its last field that value instead.
void restore_process(const Standing &standing) {
    const int nice = static_cast<int>(standing.fields[THREAD_NICE_FIELD]);
    const bool earlier = standing.fields[MARKER_FIELD] == EARLIER_LINUX_MARKER;
    const int others = earlier ? static_cast<int>(standing.fields[KEPT_FIELD]) : nice;
    const NiceSet kept = earlier ? 0 : static_cast<NiceSet>(standing.fields[KEPT_FIELD]);
    const id_t self = calling_thread_id();
    setpriority(PRIO_PROCESS, 0, nice);
    for_each_thread([&](id_t tid) {
        int current;
        if (tid != self && read_nice(tid, current) && current < others && !(kept & nice_bit(current)))
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
