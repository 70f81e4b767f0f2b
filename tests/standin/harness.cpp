#include "harness.h"

#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

std::string mex_path(const std::string &name) {
    return std::string(MEXTIME_MEX_DIR) + "/" + name + MEXTIME_MEX_SUFFIX;
}

Call call_mex(const std::string &name, int nargout, const std::vector<std::string> &args) {
    Call call;
    std::vector<mxArray_tag *> inputs;
    for (const std::string &text : args) {
        std::string error;
        mxArray_tag *array = mexhost::parse_array(text, error);
        EXPECT_NE(array, nullptr) << error;
        if (array) inputs.push_back(array);
    }
    mexhost::Module module(mex_path(name));
    EXPECT_TRUE(module.loaded()) << module.error();
    if (module.loaded()) {
        spy_attach(module.handle());
        spy_arm();
        call.outcome = mexhost::call(module.entry(), nargout,
                                     std::vector<const mxArray_tag *>(inputs.begin(), inputs.end()));
        int count = spy_disarm();
        for (int i = 0; i < count; ++i) call.events.emplace_back(spy_event(i));
    }
    for (mxArray_tag *array : inputs) mexhost::destroy_array(array);
    return call;
}

double counter_seconds(long long ticks) {
#ifdef _WIN32
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
#else
    return static_cast<double>(ticks) / 1e9;
#endif
}

long long host_ticks() {
#ifdef _WIN32
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
#endif
}

double host_seconds() { return counter_seconds(host_ticks()); }

double scalar_of(const mxArray_tag *array) {
    const bool scalar = array && array->cls == ArrayClass::Double && array->rows == 1 && array->cols == 1;
    EXPECT_TRUE(scalar && !array->complex && !array->sparse) << mexhost::format_array(array);
    return scalar ? static_cast<const double *>(array->real)[0] : 0;
}

std::string name_of(const std::string &event) { return event.substr(0, event.find('(')); }

Events named(const Events &events, std::initializer_list<const char *> names) {
    Events kept;
    for (const std::string &event : events)
        if (std::find(names.begin(), names.end(), name_of(event)) != names.end()) kept.push_back(event);
    return kept;
}

std::string seconds_text(double t) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", t);
    return text;
}
