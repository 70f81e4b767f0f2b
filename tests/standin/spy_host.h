// The host calls both spies observe, declared as the stand-in libmx and
// libmex define them, and one hook for each, made by SPY_HOST_HOOKS: it
// records its event and forwards to the call it stands in for. A spy
// defines SPY_HOOK(type, name), how it declares a hook, and NEXT(name),
// what it forwards to, before it makes them.
#ifndef MEXTIME_TESTS_SPY_HOST_H
#define MEXTIME_TESTS_SPY_HOST_H

#include "spy.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>

typedef struct mxArray_tag mxArray;
extern "C" {
mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag);
mxArray *mxCreateLogicalScalar(bool value);
mxArray *mxCreateString(const char *text);
double *mxGetPr(const mxArray *array);
void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);
void mexWarnMsgIdAndTxt(const char *identifier, const char *format, ...);
}

// X(library, name): every host call a hook stands in for: what makes and
// fills the answers, the error and the warnings; not the reads of the inputs.
#define SPY_HOST_CALLS(X)                                                         \
    X("libmx.dll", mxCreateDoubleMatrix_700) X("libmx.dll", mxCreateLogicalScalar) \
    X("libmx.dll", mxCreateString) X("libmx.dll", mxGetPr) X("libmex.dll", mexErrMsgIdAndTxt)           \
    X("libmex.dll", mexWarnMsgIdAndTxt)

#define SPY_FORWARD(type, name, event, parameter) \
    SPY_HOOK(type, name)(parameter value) {        \
        spy_record(event);                         \
        return NEXT(name)(value);                  \
    }

// The answer's 1x1 real double is "create"; anything else shows its shape.
// libmex throws: the exception passes through the hook on its way to the
// loader.
#define SPY_HOST_HOOKS                                                                        \
    SPY_HOOK(mxArray *, mxCreateDoubleMatrix_700)(int m, int n, int flag) {                    \
        spy_record(m == 1 && n == 1 && flag == 0 ? "create" : "create(%d,%d,%d)", m, n, flag); \
        return NEXT(mxCreateDoubleMatrix_700)(m, n, flag);                                     \
    }                                                                                          \
    SPY_FORWARD(mxArray *, mxCreateLogicalScalar, "logical", bool)                            \
    SPY_FORWARD(mxArray *, mxCreateString, "string", const char *)                            \
    SPY_FORWARD(double *, mxGetPr, "getpr", const mxArray *)                                   \
    SPY_HOOK(void, mexErrMsgIdAndTxt)(const char *identifier, const char *format, ...) {       \
        char message[1024];                                                                    \
        va_list args;                                                                          \
        va_start(args, format);                                                                \
        std::vsnprintf(message, sizeof message, format, args);                                 \
        va_end(args);                                                                          \
        spy_record("error(%s)", identifier);                                                   \
        NEXT(mexErrMsgIdAndTxt)(identifier, "%s", message);                                    \
    }                                                                                          \
    SPY_HOOK(void, mexWarnMsgIdAndTxt)(const char *identifier, const char *format, ...) {      \
        char message[1024];                                                                    \
        va_list args;                                                                          \
        va_start(args, format);                                                                \
        std::vsnprintf(message, sizeof message, format, args);                                 \
        va_end(args);                                                                          \
        spy_record("warning(%s)", identifier);                                                 \
        spy_saw_warning(message);                                                              \
        NEXT(mexWarnMsgIdAndTxt)(identifier, "%s", message);                                   \
    }

#endif
