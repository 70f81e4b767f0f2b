// mexhost FILE [--nargout N] [ARG...]: calls a MEX file once, as MATLAB would,
// and prints its answers or the error it raised; Ctrl+C during the call
// sets the interrupt flag a MEX file may poll. Numbers get up to 17
// significant digits, enough to give back the exact double: a timestamp
// keeps its nanoseconds.
#include "array.h"
#include "loader.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

extern "C" bool utSetInterruptPending(bool pending);

namespace {

// Ctrl+C, as MATLAB takes it: the flag is set for the MEX file to notice.
// A second Ctrl+C ends mexhost, should the file not notice.
#ifdef _WIN32
BOOL WINAPI on_console_event(DWORD event) {
    if (event != CTRL_C_EVENT) return FALSE;
    return utSetInterruptPending(true) ? FALSE : TRUE;
}

void take_ctrl_c() { SetConsoleCtrlHandler(on_console_event, TRUE); }
#else
void on_sigint(int) { utSetInterruptPending(true); }

void take_ctrl_c() {
    struct sigaction action {};
    action.sa_handler = on_sigint;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}
#endif

const char kUsage[] =
    "usage: mexhost FILE [--nargout N] [ARG...]\n"
    "       mexhost --help\n"
    "  ARG: 5, -2.5, NaN, Inf, 1+2i, [], [1,2;3,4], zeros(0,3), 'text', true, false,\n"
    "       int32(5), uint8(200), single(5), logical(1), char(65), sparse(1), cell(1)\n"
    "  In a shell, quote what it would read itself: '[1,2;3,4]' 'int32(5)' \"'text'\"\n";

int usage(const char *why) {
    std::fprintf(stderr, "mexhost: %s\n%s", why, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return usage("no MEX file given");
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string &path = first;
    int nargout = 0;
    std::vector<mxArray_tag *> inputs;
    auto release_inputs = [&inputs] {
        for (mxArray_tag *array : inputs) mexhost::destroy_array(array);
    };
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--nargout") {
            char *end = nullptr;
            long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : -1;
            if (i + 1 >= argc || *end != '\0' || n < 0 || n > 64) {
                release_inputs();
                return usage("--nargout takes a whole number from 0 to 64");
            }
            nargout = static_cast<int>(n);
            ++i;
            continue;
        }
        std::string error;
        mxArray_tag *array = mexhost::parse_array(arg, error);
        if (!array) {
            release_inputs();
            return usage(error.c_str());
        }
        inputs.push_back(array);
    }

    mexhost::Module module(path);
    if (!module.loaded()) {
        release_inputs();
        std::fprintf(stderr, "mexhost: %s\n", module.error().c_str());
        return 2;
    }
    take_ctrl_c();
    mexhost::Outcome outcome = mexhost::call(
        module.entry(), nargout, std::vector<const mxArray_tag *>(inputs.begin(), inputs.end()));
    release_inputs();
    if (outcome.raised) {
        std::printf("error %s: %s\n", outcome.identifier.c_str(), outcome.message.c_str());
        return 1;
    }
    // With no output asked for, MATLAB shows slot 0 as ans.
    if (nargout == 0) {
        if (outcome.outputs[0]) std::printf("ans = %s\n", mexhost::format_array(outcome.outputs[0]).c_str());
        return 0;
    }
    for (int i = 0; i < nargout; ++i)
        std::printf("out%d = %s\n", i + 1,
                    mexhost::format_array(outcome.outputs[static_cast<std::size_t>(i)]).c_str());
    return 0;
}
