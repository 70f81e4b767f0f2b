/* ELF interposition of the calls a wait makes: the input checks, the timer
 * slack bracket and the sleep itself. Interposed and forwarded as in
 * spy_elf.c. */
#define _GNU_SOURCE
#include "spy.h"

#include <dlfcn.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <time.h>

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

struct timespec spy_last_monotonic(void);

typedef struct mxArray_tag mxArray;
bool mxIsDouble(const mxArray *array);
bool mxIsSparse(const mxArray *array);
size_t mxGetNumberOfElements(const mxArray *array);

bool mxIsDouble(const mxArray *array) {
    spy_record("isdouble");
    return NEXT(mxIsDouble)(array);
}

bool mxIsSparse(const mxArray *array) {
    spy_record("issparse");
    return NEXT(mxIsSparse)(array);
}

size_t mxGetNumberOfElements(const mxArray *array) {
    spy_record("numel");
    return NEXT(mxGetNumberOfElements)(array);
}

/* Linux tells a request from its release only by order: while armed, a slack
 * set with no request held is the request, the next one its release, which
 * must restore the slack in force before the request. */
static bool request_held;
static unsigned long slack_before_request;

int prctl(int option, ...) {
    va_list args;
    va_start(args, option);
    /* prctl takes up to four further words; passing all on is harmless. */
    unsigned long arg2 = va_arg(args, unsigned long);
    unsigned long arg3 = va_arg(args, unsigned long);
    unsigned long arg4 = va_arg(args, unsigned long);
    unsigned long arg5 = va_arg(args, unsigned long);
    va_end(args);
    if (option == PR_SET_TIMERSLACK && spy_armed()) {
        if (!request_held) {
            slack_before_request = (unsigned long)NEXT(prctl)(PR_GET_TIMERSLACK, 0, 0, 0, 0);
            if (arg2 == 1)
                spy_record("request");
            else
                spy_record("request(%lu)", arg2);
        } else if (arg2 == slack_before_request) {
            spy_record("release");
        } else {
            spy_record("release(%lu)", arg2);
        }
        request_held = !request_held;
    }
    return NEXT(prctl)(option, arg2, arg3, arg4, arg5);
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec *request,
                    struct timespec *remain) {
    if (clock == CLOCK_MONOTONIC && flags == TIMER_ABSTIME) {
        const struct timespec from = spy_last_monotonic();
        const long long ns = (long long)(request->tv_sec - from.tv_sec) * 1000000000LL +
                             (request->tv_nsec - from.tv_nsec);
        spy_record("wait(%lld)", ns / 1000000);
    } else {
        spy_record("clock_nanosleep(%d,%d,%lld.%09ld)", (int)clock, flags,
                   (long long)request->tv_sec, request->tv_nsec);
    }
    return NEXT(clock_nanosleep)(clock, flags, request, remain);
}
