/* ELF interposition: the test program exports these names, so the MEX file's
 * calls bind to them first; each records an event and forwards to the next
 * definition (libc, or the stand-in libmx/libmex). */
#define _GNU_SOURCE
#include "spy.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <time.h>

int spy_frequency_fails(void);

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

void spy_attach(void *module) { (void)module; }

int clock_getres(clockid_t clock, struct timespec *resolution) {
    if (clock == CLOCK_MONOTONIC) {
        spy_record("frequency");
        if (spy_frequency_fails()) {
            errno = EINVAL;
            return -1;
        }
    }
    return NEXT(clock_getres)(clock, resolution);
}

/* The calling thread's last CLOCK_MONOTONIC reading: a deadline is told as
 * whole milliseconds after it. */
static __thread struct timespec last_monotonic;

struct timespec spy_last_monotonic(void) { return last_monotonic; }

int clock_gettime(clockid_t clock, struct timespec *now) {
    int result = NEXT(clock_gettime)(clock, now);
    if (clock == CLOCK_MONOTONIC) {
        last_monotonic = *now;
        spy_record("counter");
    }
    return result;
}

/* The host calls, declared as the stand-in libmx/libmex define them. */
typedef struct mxArray_tag mxArray;
mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag);
double *mxGetPr(const mxArray *array);
void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);

mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag) {
    if (m == 1 && n == 1 && flag == 0)
        spy_record("create");
    else
        spy_record("create(%d,%d,%d)", m, n, flag);
    return NEXT(mxCreateDoubleMatrix_700)(m, n, flag);
}

double *mxGetPr(const mxArray *array) {
    spy_record("getpr");
    return NEXT(mxGetPr)(array);
}

void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    spy_record("error(%s)", identifier);
    NEXT(mexErrMsgIdAndTxt)(identifier, "%s", message);
}
