// What the Linux priority operations share: a thread's nice value, the
// calling thread's policy, and each thread of the process in turn.
#ifndef MEXTIME_PRIORITY_SCHEDULING_LINUX_H
#define MEXTIME_PRIORITY_SCHEDULING_LINUX_H

#include <dirent.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>

namespace mextime {

// A thread's nice value, unless the thread is gone (-1 is a valid nice
// value, so errno tells). On Linux PRIO_PROCESS with a thread id names that
// thread alone, and 0 the calling thread.
inline bool read_nice(id_t tid, int &nice) {
    errno = 0;
    nice = getpriority(PRIO_PROCESS, tid);
    return errno == 0;
}

inline bool real_time(int policy) { return policy == SCHED_FIFO || policy == SCHED_RR; }

// The calling thread's policy, without the reset-on-fork flag, and priority.
// Read from the kernel, not from the thread library's copy, which misses a
// change made from outside (chrt).
inline bool read_scheduling(int &policy, int &priority) {
    sched_param param{};
    policy = sched_getscheduler(0);
    if (policy < 0 || sched_getparam(0, &param) != 0) return false;
    policy &= ~SCHED_RESET_ON_FORK;
    priority = param.sched_priority;
    return true;
}

// Through the thread library, so that its copy of the policy stays true.
inline int set_scheduling(int policy, int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), policy, &param);
}

// A nice value is set thread by thread, for every thread listed for this
// process.
inline void for_each_thread(void (*apply)(id_t tid)) {
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (const dirent *entry = readdir(tasks)) {
        char *end;
        const long tid = strtol(entry->d_name, &end, 10);
        if (tid > 0 && *end == '\0') apply(static_cast<id_t>(tid));
    }
    closedir(tasks);
}

}  // namespace mextime

#endif
