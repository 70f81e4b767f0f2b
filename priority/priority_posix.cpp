// Priority on Linux, which has no priority class for a whole process: the
// process step gives every thread the strongest ordinary standing (nice
// -20), and the thread step puts the calling thread alone under SCHED_FIFO,
// so the process outranks ordinary work yet its helper threads cannot starve
// the machine. The raised thread carries SCHED_RESET_ON_FORK: the threads and
// processes it starts afterwards begin under the ordinary policy with nice 0
// or more. Without CAP_SYS_NICE each step settles for the best its resource
// limit grants (RLIMIT_NICE, RLIMIT_RTPRIO), as Windows quietly grants the
// highest class a caller may have.
#include "priority.h"

#include <dirent.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>

namespace mextime {
namespace {

constexpr int STRONGEST_NICE = -20;
// RLIMIT_NICE counts from here: a limit L permits nice 20 - L.
constexpr int NICE_LIMIT_BASE = 20;

// The strongest nice value RLIMIT_NICE lets an unprivileged caller take.
int permitted_nice() {
    rlimit limit;
    if (getrlimit(RLIMIT_NICE, &limit) != 0) return NICE_LIMIT_BASE;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= NICE_LIMIT_BASE - STRONGEST_NICE)
        return STRONGEST_NICE;
    return NICE_LIMIT_BASE - static_cast<int>(limit.rlim_cur);
}

// A thread's nice value, unless the thread is gone (-1 is a valid nice
// value, so errno tells).
bool read_nice(id_t tid, int &nice) {
    errno = 0;
    nice = getpriority(PRIO_PROCESS, tid);
    return errno == 0;
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

// 99 is where the kernel's own per-CPU threads run, which a busy-waiting
// script must not lock out; 80 is still above threaded interrupt handlers (50).
constexpr int RAISED_RTPRIO = 80;

// The highest real-time priority RLIMIT_RTPRIO lets an unprivileged caller
// take, at most `wanted`; 0 when it permits none.
int permitted_rtprio(int wanted) {
    rlimit limit;
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= static_cast<rlim_t>(wanted))
        return wanted;
    return static_cast<int>(limit.rlim_cur);
}

bool real_time(int policy) { return policy == SCHED_FIFO || policy == SCHED_RR; }

// The calling thread's policy, without the reset-on-fork flag, and priority.
// Read from the kernel, not from the thread library's copy, which misses a
// change made from outside (chrt).
bool read_scheduling(int &policy, int &priority) {
    sched_param param{};
    policy = sched_getscheduler(0);
    if (policy < 0 || sched_getparam(0, &param) != 0) return false;
    policy &= ~SCHED_RESET_ON_FORK;
    priority = param.sched_priority;
    return true;
}

// Through the thread library, so that its copy of the policy stays true.
int set_scheduling(int policy, int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), policy, &param);
}

// On Linux PRIO_PROCESS with a thread id names that thread alone, so a nice
// value is set for every thread listed for this process in turn.
void for_each_thread(void (*apply)(id_t tid)) {
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (const dirent *entry = readdir(tasks)) {
        char *end;
        const long tid = strtol(entry->d_name, &end, 10);
        if (tid > 0 && *end == '\0') apply(static_cast<id_t>(tid));
    }
    closedir(tasks);
}

// Raising a nice value never needs a privilege; a positive one is the
// user's own choice and stays.
void restore_thread_nice(id_t tid) {
    int current;
    if (read_nice(tid, current) && current < 0) setpriority(PRIO_PROCESS, tid, 0);
}

}  // namespace

void raise_process() { for_each_thread(raise_thread_nice); }

// A real-time priority the thread already has is never lowered: at or above
// the level asked for it is kept as it is. Whatever it ends with, the thread
// carries the reset-on-fork flag, which any thread may take.
void raise_calling_thread() {
    int policy, priority;
    if (!read_scheduling(policy, priority)) return;
    const int wanted = RAISED_RTPRIO < sched_get_priority_max(SCHED_FIFO)
                           ? RAISED_RTPRIO
                           : sched_get_priority_max(SCHED_FIFO);
    const int current = real_time(policy) ? priority : 0;
    if (current < wanted) {
        if (set_scheduling(SCHED_FIFO | SCHED_RESET_ON_FORK, wanted) == 0) return;
        const int fallback = permitted_rtprio(wanted);
        if (fallback > current &&
            set_scheduling(SCHED_FIFO | SCHED_RESET_ON_FORK, fallback) == 0)
            return;
    }
    set_scheduling(policy | SCHED_RESET_ON_FORK, priority);
}

void restore_process() { for_each_thread(restore_thread_nice); }

// Only a privileged thread may drop the reset-on-fork flag; any other keeps
// it, which is harmless under the ordinary policy at nice 0 or more.
void restore_calling_thread() {
    if (set_scheduling(SCHED_OTHER, 0) != 0) set_scheduling(SCHED_OTHER | SCHED_RESET_ON_FORK, 0);
}

// chrt's and ps's words for the policy, as a log would want them.
void read_status(Status &status) {
    int policy = -1, priority = 0, nice = 0;
    read_scheduling(policy, priority);
    // On Linux, PRIO_PROCESS 0 is the calling thread.
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
