// The host convention every deliverable shares: the entry point and the host
// calls the deliverables use, declared here rather than taken from a host's
// header so that one source builds for every host.
//
// MATLAB (Windows and Linux) binds the 32-bit-dimension names of its libmx
// (mxCreateDoubleMatrix_700); Octave (MEXTIME_HOST_OCTAVE) binds its own
// names, whose dimensions are 64-bit.
#ifndef MEXTIME_GATEWAY_MEX_H
#define MEXTIME_GATEWAY_MEX_H

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define MEXTIME_EXPORT __declspec(dllexport)
#else
#define MEXTIME_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Opaque to the deliverables: only the host knows what an array holds.
typedef struct mxArray_tag mxArray;

enum mxComplexity { mxREAL = 0, mxCOMPLEX = 1 };

// The one symbol a deliverable exports.
MEXTIME_EXPORT void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]);

#if defined(MEXTIME_HOST_OCTAVE)
typedef std::int64_t mwSize;
mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag);
#else
mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag);
#endif

// Neither takes a dimension: the same names in every MATLAB and in Octave,
// whose mxLogical is a byte where MATLAB's is a bool.
#if defined(MEXTIME_HOST_OCTAVE)
typedef unsigned char mxLogical;
#else
typedef bool mxLogical;
#endif
mxArray *mxCreateLogicalScalar(mxLogical value);
mxArray *mxCreateString(const char *text);

double *mxGetPr(const mxArray *array);
bool mxIsDouble(const mxArray *array);
bool mxIsSparse(const mxArray *array);
bool mxIsComplex(const mxArray *array);
std::size_t mxGetNumberOfElements(const mxArray *array);

// Raises the error in the calling script; the host does not return. MATLAB
// raises it as a C++ exception, which unwinds through the caller's frame.
[[noreturn]] void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);

// Prints a warning in the calling script and returns; the host's
// warning('off', identifier) silences it.
void mexWarnMsgIdAndTxt(const char *identifier, const char *format, ...);

}  // extern "C"

#if !defined(MEXTIME_HOST_OCTAVE)
inline mxArray *mxCreateDoubleMatrix(int m, int n, mxComplexity flag) {
    return mxCreateDoubleMatrix_700(m, n, flag);
}
#endif

#endif
