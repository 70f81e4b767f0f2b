// Priority on Linux, which has no priority class for a whole process: the
// process step gives every thread the strongest ordinary standing (nice
// -20), and the thread step puts the calling thread alone under SCHED_FIFO,
// so the process outranks ordinary work yet its helper threads cannot starve
// the machine. Without CAP_SYS_NICE each step settles for the best its
// resource limit grants (RLIMIT_NICE, RLIMIT_RTPRIO), as Windows quietly
// grants the highest class a caller may have.
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

// The highest real-time priority RLIMIT_RTPRIO lets an unprivileged caller
// take, at most the policy's top; 0 when it permits none.
int permitted_rtprio(int top) {
    rlimit limit;
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= static_cast<rlim_t>(top)) return top;
    return static_cast<int>(limit.rlim_cur);
}

int set_fifo(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

// A real-time priority the thread already has; 0 under an ordinary policy.
int current_rtprio() {
    int policy;
    sched_param param;
    if (pthread_getschedparam(pthread_self(), &policy, &param) != 0) return 0;
    return policy == SCHED_FIFO || policy == SCHED_RR ? param.sched_priority : 0;
}

}  // namespace

// On Linux PRIO_PROCESS with a thread id sets that thread alone, so every
// thread listed for this process is raised in turn.
void raise_process() {
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (const dirent *entry = readdir(tasks)) {
        char *end;
        const long tid = strtol(entry->d_name, &end, 10);
        if (tid > 0 && *end == '\0') raise_thread_nice(static_cast<id_t>(tid));
    }
    closedir(tasks);
}

// The top of SCHED_FIFO never lowers anything, so it is asked on every call;
// the fallback is taken only where it beats what the thread has (an
// administrator may have given it more than the limit).
void raise_calling_thread() {
    const int top = sched_get_priority_max(SCHED_FIFO);
    if (set_fifo(top) == 0) return;
    const int fallback = permitted_rtprio(top);
    if (fallback > current_rtprio()) set_fifo(fallback);
}

}  // namespace mextime
