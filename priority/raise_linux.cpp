// Raising on Linux, which has no priority class for a whole process: the
// process step gives the calling thread the strongest ordinary standing
// (nice -20), and so the other threads that shared its nice value; the
// thread step puts the calling thread alone under SCHED_FIFO, so the process
// outranks ordinary work yet its helper threads cannot starve the machine.
// Threads at another nice value, such as a host's background helper at 10,
// keep it. The raised thread carries SCHED_RESET_ON_FORK: the threads and
// processes it starts afterwards begin under the ordinary policy with nice 0
// or more. Without CAP_SYS_NICE each step settles for the best its resource
// limit grants (RLIMIT_NICE, RLIMIT_RTPRIO), as Windows quietly grants the
// highest class a caller may have.
#include "priority.h"
#include "scheduling_linux.h"

namespace mextime {
namespace {

// RLIMIT_NICE counts from here: a limit L permits nice 20 - L.
constexpr int NICE_LIMIT_BASE = 20;

// 99 is where the kernel's own per-CPU threads run, which a busy-waiting
// script must not lock out; 80 is still above threaded interrupt handlers (50).
constexpr int RAISED_RTPRIO = 80;

// The strongest nice value RLIMIT_NICE lets an unprivileged caller take.
int permitted_nice() {
    rlimit limit;
    if (getrlimit(RLIMIT_NICE, &limit) != 0) return NICE_LIMIT_BASE;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= NICE_LIMIT_BASE - STRONGEST_NICE)
        return STRONGEST_NICE;
    return NICE_LIMIT_BASE - static_cast<int>(limit.rlim_cur);
}

// -20 where it is granted, else the fallback where it is better than what
// the calling thread has; answers the nice value it ends with.
int raise_own_nice(int own) {
    if (setpriority(PRIO_PROCESS, 0, STRONGEST_NICE) == 0) return STRONGEST_NICE;
    const int fallback = permitted_nice();
    return fallback < own && setpriority(PRIO_PROCESS, 0, fallback) == 0 ? fallback : own;
}

// The highest real-time priority RLIMIT_RTPRIO lets an unprivileged caller
// take, at most `wanted`; 0 when it permits none.
int permitted_rtprio(int wanted) {
    rlimit limit;
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= static_cast<rlim_t>(wanted))
        return wanted;
    return static_cast<int>(limit.rlim_cur);
}

}  // namespace

bool read_standing(Standing &standing) {
    int policy, priority, nice;
    bool reset_on_fork;
    if (!read_scheduling(policy, priority, reset_on_fork) || !read_nice(0, nice)) return false;
    standing.count = LINUX_FIELDS;
    standing.fields[MARKER_FIELD] = LINUX_MARKER;
    standing.fields[POLICY_FIELD] = policy;
    standing.fields[RESET_ON_FORK_FIELD] = reset_on_fork ? 1 : 0;
    standing.fields[RTPRIO_FIELD] = priority;
    standing.fields[THREAD_NICE_FIELD] = nice;
    standing.fields[KEPT_FIELD] = static_cast<double>(stronger_others(nice));
    return true;
}

const char NOT_GRANTED_MESSAGE[] =
    "No higher priority was granted: this account may take neither real-time scheduling (RLIMIT_RTPRIO) "
    "nor a negative nice value (RLIMIT_NICE); help rtboost says how to grant them.";

// The others take the strongest value the calling thread obtained that no
// thread left alone has, so that rtrestore can tell them apart: one step
// weaker for each such value in the way.
bool raise_process() {
    int own;
    if (!read_nice(0, own)) return false;
    const NiceSet kept = stronger_others(own);
    const int raised = raise_own_nice(own);
    int shared = raised;
    while (shared < own && (kept & nice_bit(shared))) ++shared;
    if (shared < own)
        for_each_thread([&](id_t tid) {
            int nice;
            if (read_nice(tid, nice) && nice == own) setpriority(PRIO_PROCESS, tid, shared);
        });
    return raised < 0;
}

// A real-time priority the thread already has is never lowered: at or above
// the level asked for it is kept as it is. Whatever it ends with, the thread
// carries the reset-on-fork flag, which any thread may take.
bool raise_calling_thread() {
    int policy, priority;
    if (!read_scheduling(policy, priority)) return false;
    const int wanted = RAISED_RTPRIO < sched_get_priority_max(SCHED_FIFO)
                           ? RAISED_RTPRIO
                           : sched_get_priority_max(SCHED_FIFO);
    const int current = real_time(policy) ? priority : 0;
    if (current < wanted) {
        if (set_scheduling(SCHED_FIFO | SCHED_RESET_ON_FORK, wanted) == 0) return true;
        const int fallback = permitted_rtprio(wanted);
        if (fallback > current &&
            set_scheduling(SCHED_FIFO | SCHED_RESET_ON_FORK, fallback) == 0)
            return true;
    }
    set_scheduling(policy | SCHED_RESET_ON_FORK, priority);
    return real_time(policy);
}

}  // namespace mextime
