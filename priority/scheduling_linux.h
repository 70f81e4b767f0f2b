// What the Linux priority operations share: a thread's nice value, the
// calling thread's policy, each thread of the process in turn, and the
// layout of a standing.
#ifndef MEXTIME_PRIORITY_SCHEDULING_LINUX_H
#define MEXTIME_PRIORITY_SCHEDULING_LINUX_H

#include <dirent.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace mextime {

constexpr int STRONGEST_NICE = -20, WEAKEST_NICE = 19;

// A thread's nice value, unless the thread is gone (-1 is a valid nice
// value, so errno tells). On Linux PRIO_PROCESS with a thread id names that
// thread alone, and 0 the calling thread.
inline bool read_nice(id_t tid, int &nice) {
    errno = 0;
    nice = getpriority(PRIO_PROCESS, tid);
    return errno == 0;
}

inline bool real_time(int policy) { return policy == SCHED_FIFO || policy == SCHED_RR; }

// The calling thread's policy, without the reset-on-fork flag, whether it
// carries the flag, and its priority. Read from the kernel, not from the
// thread library's copy, which misses a change made from outside (chrt).
inline bool read_scheduling(int &policy, int &priority, bool &reset_on_fork) {
    sched_param param{};
    policy = sched_getscheduler(0);
    if (policy < 0 || sched_getparam(0, &param) != 0) return false;
    reset_on_fork = (policy & SCHED_RESET_ON_FORK) != 0;
    policy &= ~SCHED_RESET_ON_FORK;
    priority = param.sched_priority;
    return true;
}

inline bool read_scheduling(int &policy, int &priority) {
    bool reset_on_fork;
    return read_scheduling(policy, priority, reset_on_fork);
}

// Through the thread library, so that its copy of the policy stays true.
inline int set_scheduling(int policy, int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), policy, &param);
}

// The system call, not glibc's gettid, which older systems that MATLAB
// supports lack.
inline id_t calling_thread_id() { return static_cast<id_t>(syscall(SYS_gettid)); }

// A nice value is set thread by thread, for every thread listed for this
// process; `apply` is called with each thread's id.
template <typename Apply>
inline void for_each_thread(Apply apply) {
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (const dirent *entry = readdir(tasks)) {
        char *end;
        const long tid = strtol(entry->d_name, &end, 10);
        if (tid > 0 && *end == '\0') apply(static_cast<id_t>(tid));
    }
    closedir(tasks);
}

// A set of nice values, one bit each from -20 up, which a double holds
// exactly.
using NiceSet = std::uint64_t;

inline NiceSet nice_bit(int nice) { return NiceSet{1} << (nice - STRONGEST_NICE); }

// The nice values stronger than the calling thread's, `own`, that other
// threads have: rtboost leaves those threads as they are, and rtrestore
// tells them from the ones rtboost raised by them.
inline NiceSet stronger_others(int own) {
    NiceSet found = 0;
    for_each_thread([&](id_t tid) {
        int nice;
        if (read_nice(tid, nice) && nice < own) found |= nice_bit(nice);
    });
    return found;
}

// A standing on Linux: the calling thread's policy, its reset-on-fork flag
// (0 or 1), its real-time priority and its nice value, then the set of
// stronger nice values that other threads had and keep. The other threads
// rtboost raises are those that shared the calling thread's nice value, and
// that is what they come back to.
constexpr double LINUX_MARKER = 2002;
constexpr std::size_t MARKER_FIELD = 0, POLICY_FIELD = 1, RESET_ON_FORK_FIELD = 2, RTPRIO_FIELD = 3,
                      THREAD_NICE_FIELD = 4, KEPT_FIELD = 5, LINUX_FIELDS = 6;
// The layout before, whose last field was the weakest nice value of the
// other threads, to which rtrestore gives back every thread stronger than it.
constexpr double EARLIER_LINUX_MARKER = 2001;

}  // namespace mextime

#endif
