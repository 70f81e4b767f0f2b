#include "loader.h"

#include "raised_error.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace mexhost {

#ifdef _WIN32
Module::Module(const std::string &path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        error_ = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
        return;
    }
    handle_ = module;
    entry_ = reinterpret_cast<MexEntry>(
        reinterpret_cast<void *>(GetProcAddress(module, "mexFunction")));
    if (!entry_) error_ = path + " does not export mexFunction";
}

Module::~Module() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}
#else
Module::Module(const std::string &path) {
    // RTLD_LOCAL: each MEX file keeps its own symbols, as in MATLAB.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char *why = dlerror();
        error_ = why ? why : "cannot load " + path;
        return;
    }
    entry_ = reinterpret_cast<MexEntry>(dlsym(handle_, "mexFunction"));
    if (!entry_) error_ = path + " does not export mexFunction";
}

Module::~Module() {
    if (handle_) dlclose(handle_);
}
#endif

Outcome::Outcome(Outcome &&other) noexcept
    : raised(other.raised),
      identifier(std::move(other.identifier)),
      message(std::move(other.message)),
      outputs(std::move(other.outputs)) {
    other.outputs.clear();
}

Outcome &Outcome::operator=(Outcome &&other) noexcept {
    if (this != &other) {
        for (mxArray_tag *array : outputs) destroy_array(array);
        raised = other.raised;
        identifier = std::move(other.identifier);
        message = std::move(other.message);
        outputs = std::move(other.outputs);
        other.outputs.clear();
    }
    return *this;
}

Outcome::~Outcome() {
    for (mxArray_tag *array : outputs) destroy_array(array);
}

Outcome call(MexEntry entry, int nargout, const std::vector<const mxArray_tag *> &inputs) {
    Outcome outcome;
    outcome.outputs.assign(static_cast<std::size_t>(nargout > 1 ? nargout : 1), nullptr);
    std::vector<const mxArray_tag *> arguments(inputs);
    try {
        entry(nargout, outcome.outputs.data(), static_cast<int>(arguments.size()),
              arguments.empty() ? nullptr : arguments.data());
    } catch (const RaisedError &error) {
        outcome.raised = true;
        outcome.identifier = error.identifier;
        outcome.message = error.message;
        return outcome;
    }
    // MATLAB's own check after a call: every output asked for must be set.
    for (int i = 0; i < nargout; ++i) {
        if (!outcome.outputs[static_cast<std::size_t>(i)]) {
            outcome.raised = true;
            outcome.identifier = "MATLAB:unassignedOutputs";
            outcome.message = "One or more output arguments not assigned during call.";
            break;
        }
    }
    return outcome;
}

}  // namespace mexhost
