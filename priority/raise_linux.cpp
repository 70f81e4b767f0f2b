// Raising on Linux, which has no priority class for a whole process: the
// process step gives every thread the strongest ordinary standing (nice
// -20), and the thread step puts the calling thread alone under SCHED_FIFO,
// so the process outranks ordinary work yet its helper threads cannot starve
// the machine. The raised thread carries SCHED_RESET_ON_FORK: the threads and
// processes it starts afterwards begin under the ordinary policy with nice 0
// or more. Without CAP_SYS_NICE each step settles for the best its resource
// limit grants (RLIMIT_NICE, RLIMIT_RTPRIO), as Windows quietly grants the
// highest class a caller may have.
#include "priority.h"
#include "scheduling_linux.h"

namespace mextime {
namespace {

constexpr int STRONGEST_NICE = -20;
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

// Asking for -20 can never lower a thread, so it is asked on every call; the
// fallback is taken only where it is better than what the thread has.
void raise_thread_nice(id_t tid) {
    int current;
    if (!read_nice(tid, current)) return;
    if (setpriority(PRIO_PROCESS, tid, STRONGEST_NICE) == 0) return;
    const int fallback = permitted_nice();
    if (fallback < current) setpriority(PRIO_PROCESS, tid, fallback);
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

// The weakest nice value of the other threads is what restoring gives back
// to every thread rtboost made stronger than it; a process whose calling
// thread is its only one takes that thread's value.
bool read_standing(Standing &standing) {
    int policy, priority, nice;
    bool reset_on_fork;
    if (!read_scheduling(policy, priority, reset_on_fork) || !read_nice(0, nice)) return false;
    const id_t self = calling_thread_id();
    int others = nice;
    bool other_seen = false;
    for_each_thread([&](id_t tid) {
        int other;
        if (tid == self || !read_nice(tid, other)) return;
        if (!other_seen || other > others) others = other;
        other_seen = true;
    });
    standing.count = LINUX_FIELDS;
    standing.fields[MARKER_FIELD] = LINUX_MARKER;
    standing.fields[POLICY_FIELD] = policy;
    standing.fields[RESET_ON_FORK_FIELD] = reset_on_fork ? 1 : 0;
    standing.fields[RTPRIO_FIELD] = priority;
    standing.fields[THREAD_NICE_FIELD] = nice;
    standing.fields[OTHERS_NICE_FIELD] = others;
    return true;
}

const char NOT_GRANTED_MESSAGE[] =
    "No higher priority was granted: this account may take neither real-time scheduling (RLIMIT_RTPRIO) "
    "nor a negative nice value (RLIMIT_NICE); help rtboost says how to grant them.";

bool raise_process() {
    for_each_thread(raise_thread_nice);
    int nice;
    return read_nice(0, nice) && nice < 0;
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
