/* The host convention every deliverable shares: the entry point and the host
 * calls the deliverables use, declared here rather than taken from a host's
 * header so that one source builds for every host.
 *
 * MATLAB (Windows and Linux) binds the 32-bit-dimension names of its libmx
 * (mxCreateDoubleMatrix_700); Octave (MEXTIME_HOST_OCTAVE) binds its own
 * names, whose dimensions are 64-bit. */
#ifndef MEXTIME_GATEWAY_MEX_H
#define MEXTIME_GATEWAY_MEX_H

#include <stddef.h>
#include <stdint.h>

#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque to the deliverables: only the host knows what an array holds. */
typedef struct mxArray_tag mxArray;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

#if defined(_WIN32)
#define MEXTIME_EXPORT __declspec(dllexport)
#else
#define MEXTIME_EXPORT __attribute__((visibility("default")))
#endif

/* The one symbol a deliverable exports. */
MEXTIME_EXPORT void mexFunction(int nlhs, mxArray *plhs[], int nrhs,
                                const mxArray *prhs[]);

#if defined(MEXTIME_HOST_OCTAVE)
typedef int64_t mwSize;
mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag);
#else
mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag);
#define mxCreateDoubleMatrix(m, n, flag) mxCreateDoubleMatrix_700((m), (n), (flag))
#endif

double *mxGetPr(const mxArray *array);
bool mxIsDouble(const mxArray *array);
bool mxIsSparse(const mxArray *array);
size_t mxGetNumberOfElements(const mxArray *array);

/* Raises the error in the calling script; the host does not return. */
void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);

#ifdef __cplusplus
}
#endif

#endif
