// The stand-in host's loader: opens a MEX file by path, finds mexFunction and
// calls it the way MATLAB does, catching a raised error at the call site.
#ifndef MEXHOST_LOADER_H
#define MEXHOST_LOADER_H

#include "array.h"

#include <string>
#include <vector>

namespace mexhost {

using MexEntry = void (*)(int nlhs, mxArray_tag *plhs[], int nrhs, const mxArray_tag *prhs[]);

class Module {
public:
    explicit Module(const std::string &path);  // check loaded() and error()
    ~Module();
    Module(const Module &) = delete;
    Module &operator=(const Module &) = delete;

    bool loaded() const { return entry_ != nullptr; }
    const std::string &error() const { return error_; }
    MexEntry entry() const { return entry_; }
    void *handle() const { return handle_; }  // HMODULE on Windows, dlopen handle elsewhere

private:
    void *handle_ = nullptr;
    MexEntry entry_ = nullptr;
    std::string error_;
};

struct Outcome {
    bool raised = false;
    std::string identifier;
    std::string message;
    // The output slots as the call left them: max(nargout, 1) of them, since
    // MATLAB always provides slot 0 for the answer. Owned by the Outcome.
    std::vector<mxArray_tag *> outputs;

    Outcome() = default;
    Outcome(Outcome &&other) noexcept;
    Outcome &operator=(Outcome &&other) noexcept;
    Outcome(const Outcome &) = delete;
    Outcome &operator=(const Outcome &) = delete;
    ~Outcome();
};

// Calls the entry once. The inputs stay the caller's.
Outcome call(MexEntry entry, int nargout, const std::vector<const mxArray_tag *> &inputs);

}  // namespace mexhost

#endif
