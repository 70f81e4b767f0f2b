// Stand-in for MATLAB's libmex: raising an error unwinds to the loader's call
// site, as MATLAB's own mexErrMsgIdAndTxt does.
#include "raised_error.h"

#include <cstdarg>
#include <cstdio>

extern "C" void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...) {
    mexhost::RaisedError error{};
    std::snprintf(error.identifier, sizeof error.identifier, "%s", identifier ? identifier : "");
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(error.message, sizeof error.message, format, args);
        va_end(args);
    }
    throw error;
}
