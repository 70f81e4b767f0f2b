// ELF interposition of the scheduling calls a priority raise makes, and a
// stand-in for an unprivileged caller with resource limits: this machine
// runs as root and cannot hand out a real-time limit without the
// capability, so the refusals are made here. Interposed and forwarded as in
// spy_elf.cpp; the spy's own reads go to libc, never to its refusals.
#include "spy.h"

#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <linux/capability.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#define NEXT(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

constexpr int STRONGEST_NICE = -20;
constexpr int NICE_LIMIT_BASE = 20;

static int rtprio_limit = -1, nice_limit = -1;

void spy_limit_priority(int rtprio, int nice) { rtprio_limit = rtprio, nice_limit = nice; }

static bool limits_apply() { return rtprio_limit >= 0 && nice_limit >= 0 && spy_armed(); }

// With PRIO_PROCESS, 0 is the calling thread (setpriority(2)).
static bool own_thread(id_t tid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%u", static_cast<unsigned>(tid));
    return tid == 0 || access(path, F_OK) == 0;
}

// A thread of this process other than the calling one, which the spy may
// make end: getpriority(2) and setpriority(2) then fail with ESRCH.
static bool gone(__priority_which_t which, id_t who) {
    return spy_refuses(SPY_OTHERS_GONE) && which == PRIO_PROCESS && who != 0 &&
           who != static_cast<id_t>(syscall(SYS_gettid));
}

extern "C" int getrlimit(__rlimit_resource_t resource, rlimit *limit) __THROW {
    const bool scheduling = resource == RLIMIT_RTPRIO || resource == RLIMIT_NICE;
    if (scheduling && spy_refuses(SPY_LIMITS)) {
        errno = EPERM;
        return -1;
    }
    if (limits_apply() && scheduling) {
        const int value = resource == RLIMIT_RTPRIO ? rtprio_limit : nice_limit;
        limit->rlim_cur = limit->rlim_max = value == SPY_UNLIMITED ? RLIM_INFINITY : static_cast<rlim_t>(value);
        return 0;
    }
    return NEXT(getrlimit)(resource, limit);
}

extern "C" int getpriority(__priority_which_t which, id_t who) __THROW {
    if (gone(which, who)) {
        errno = ESRCH;
        return -1;
    }
    if (spy_refuses(SPY_PROCESS_READ)) {
        errno = EACCES;
        return -1;
    }
    return NEXT(getpriority)(which, who);
}

// The caller the limits stand for has no CAP_SYS_NICE (capget(2)).
extern "C" int capget(cap_user_header_t header, cap_user_data_t data) {
    const int result = NEXT(capget)(header, data);
    if (result == 0 && data && limits_apply()) {
        data[CAP_TO_INDEX(CAP_SYS_NICE)].effective &= ~CAP_TO_MASK(CAP_SYS_NICE);
        data[CAP_TO_INDEX(CAP_SYS_NICE)].permitted &= ~CAP_TO_MASK(CAP_SYS_NICE);
    }
    return result;
}

// As the kernel rules for a caller without CAP_SYS_NICE: a thread may always
// be made nicer, and less nice only down to 20 - RLIMIT_NICE.
extern "C" int setpriority(__priority_which_t which, id_t who, int value) __THROW {
    if (which == PRIO_PROCESS && own_thread(who))
        spy_record(value == STRONGEST_NICE ? "process_priority" : "process_priority(%d)", value);
    else
        spy_record("setpriority(%d,%u,%d)", static_cast<int>(which), static_cast<unsigned>(who), value);
    if (gone(which, who)) {
        errno = ESRCH;
        return -1;
    }
    if (spy_refuses(SPY_PROCESS_SET) ||
        (limits_apply() && value < NEXT(getpriority)(which, who) && value < NICE_LIMIT_BASE - nice_limit)) {
        errno = EACCES;
        return -1;
    }
    return NEXT(setpriority)(which, who, value);
}

extern "C" int sched_getscheduler(pid_t pid) __THROW {
    if (spy_refuses(SPY_PRIORITY_READ)) {
        errno = ESRCH;
        return -1;
    }
    return NEXT(sched_getscheduler)(pid);
}

extern "C" int sched_getparam(pid_t pid, sched_param *param) __THROW {
    if (spy_refuses(SPY_PARAM_READ)) {
        errno = ESRCH;
        return -1;
    }
    return NEXT(sched_getparam)(pid, param);
}

// The thread list, as if /proc were not mounted.
extern "C" DIR *opendir(const char *path) {
    if (spy_refuses(SPY_THREAD_LIST) && std::strcmp(path, "/proc/self/task") == 0) {
        errno = ENOENT;
        return nullptr;
    }
    return NEXT(opendir)(path);
}

static bool real_time(int policy) {
    policy &= ~SCHED_RESET_ON_FORK;
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

constexpr int RAISED_RTPRIO = 80;

// As the kernel rules without CAP_SYS_NICE: a real-time policy needs a
// non-zero RLIMIT_RTPRIO, a priority above the limit only where the thread
// already has it, and the reset-on-fork flag once taken stays.
extern "C" int pthread_setschedparam(pthread_t thread, int policy,
                                     const sched_param *param) __THROWNL {
    const bool self = pthread_equal(thread, pthread_self());
    const bool raise = self && policy == (SCHED_FIFO | SCHED_RESET_ON_FORK) && param->sched_priority == RAISED_RTPRIO;
    spy_record(raise ? "thread_priority" : "thread_priority(%spolicy 0x%x,%d)", self ? "" : "other thread,",
               policy, param->sched_priority);
    if (spy_refuses(SPY_THREAD_SET)) return EPERM;
    if (limits_apply() && self) {
        // The kernel's own view; the thread library's copy may be stale.
        const int current_policy = NEXT(sched_getscheduler)(0);
        sched_param current{};
        NEXT(sched_getparam)(0, &current);
        const int current_priority = real_time(current_policy) ? current.sched_priority : 0;
        if (real_time(policy) &&
            ((rtprio_limit == 0 && !real_time(current_policy)) ||
             (param->sched_priority > current_priority && param->sched_priority > rtprio_limit)))
            return EPERM;
        if ((current_policy & SCHED_RESET_ON_FORK) && !(policy & SCHED_RESET_ON_FORK))
            return EPERM;
    }
    return NEXT(pthread_setschedparam)(thread, policy, param);
}
