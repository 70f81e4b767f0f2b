/* rtboost: real-time priority for the host process and the calling thread.
 *
 * rtboost() raises the process first, then the thread that called it, and
 * leaves both raised for good: nothing here ever lowers them again. Every
 * refusal is silent; the thread step runs whatever the process step gave.
 *
 * Linux has no priority class for a whole process, so the process step gives
 * every thread the strongest ordinary standing (nice -20) and the thread step
 * puts the calling thread alone under SCHED_FIFO at the top priority: the
 * process outranks ordinary work, yet its helper threads cannot starve the
 * machine. Without CAP_SYS_NICE each step settles for the best its resource
 * limit grants (RLIMIT_NICE, RLIMIT_RTPRIO), as Windows quietly grants the
 * highest class a caller may have. */
#include "mex.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>
#endif

#ifdef _WIN32
static void raise_process(void) {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
}
#else
enum {
    STRONGEST_NICE = -20,
    /* RLIMIT_NICE counts from here: a limit L permits nice 20 - L. */
    NICE_LIMIT_BASE = 20
};

/* The strongest nice value RLIMIT_NICE lets an unprivileged caller take. */
static int permitted_nice(void) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NICE, &limit) != 0) return NICE_LIMIT_BASE;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= NICE_LIMIT_BASE - STRONGEST_NICE)
        return STRONGEST_NICE;
    return NICE_LIMIT_BASE - (int)limit.rlim_cur;
}

/* A thread's nice value, unless the thread is gone (-1 is a valid nice
 * value, so errno tells). */
static int read_nice(id_t tid, int *nice) {
    errno = 0;
    *nice = getpriority(PRIO_PROCESS, tid);
    return errno == 0;
}

/* Asking for -20 can never lower a thread, so it is asked on every call; the
 * fallback is taken only where it is better than what the thread has. */
static void raise_thread_nice(id_t tid) {
    int current;
    if (!read_nice(tid, &current)) return;
    if (setpriority(PRIO_PROCESS, tid, STRONGEST_NICE) == 0) return;
    int fallback = permitted_nice();
    if (fallback < current) setpriority(PRIO_PROCESS, tid, fallback);
}

/* On Linux PRIO_PROCESS with a thread id sets that thread alone, so every
 * thread listed for this process is raised in turn. */
static void raise_process(void) {
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks) return;
    struct dirent *entry;
    while ((entry = readdir(tasks)) != NULL) {
        char *end;
        long tid = strtol(entry->d_name, &end, 10);
        if (tid > 0 && *end == '\0') raise_thread_nice((id_t)tid);
    }
    closedir(tasks);
}
#endif

#ifdef _WIN32
static void raise_calling_thread(void) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}
#else
/* The highest real-time priority RLIMIT_RTPRIO lets an unprivileged caller
 * take, at most the policy's top; 0 when it permits none. */
static int permitted_rtprio(int top) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= (rlim_t)top) return top;
    return (int)limit.rlim_cur;
}

static int set_fifo(int priority) {
    struct sched_param param = {.sched_priority = priority};
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

/* A real-time priority the thread already has; 0 under an ordinary policy. */
static int current_rtprio(void) {
    int policy;
    struct sched_param param;
    if (pthread_getschedparam(pthread_self(), &policy, &param) != 0) return 0;
    return policy == SCHED_FIFO || policy == SCHED_RR ? param.sched_priority : 0;
}

/* The top of SCHED_FIFO never lowers anything, so it is asked on every call;
 * the fallback is taken only where it beats what the thread has (an
 * administrator may have given it more than the limit). */
static void raise_calling_thread(void) {
    int top = sched_get_priority_max(SCHED_FIFO);
    if (set_fifo(top) == 0) return;
    int fallback = permitted_rtprio(top);
    if (fallback > current_rtprio()) set_fifo(fallback);
}
#endif

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    /* No input is read and no output set: the effect is the answer. */
    (void)nlhs;
    (void)plhs;
    (void)nrhs;
    (void)prhs;

    raise_process();
    raise_calling_thread();
}
