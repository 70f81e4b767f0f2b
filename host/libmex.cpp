// Stand-in for MATLAB's libmex: raising an error unwinds to the loader's call
// site, as MATLAB's own mexErrMsgIdAndTxt does; a warning is printed at once,
// while the call goes on, as MATLAB prints it.
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

extern "C" void mexWarnMsgIdAndTxt(const char *identifier, const char *format, ...) {
    char message[1024] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof message, format, args);
        va_end(args);
    }
    // Flushed: a warning given before a long wait is seen before it.
    std::printf("warning %s: %s\n", identifier ? identifier : "", message);
    std::fflush(stdout);
}
