#include "harness.h"

#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/prctl.h>
#include <time.h>
#endif

std::string mex_path(const std::string &name) {
    return std::string(MEXTIME_MEX_DIR) + "/" + name + MEXTIME_MEX_SUFFIX;
}

// Each identifier a call raised, as its error or a warning, as a line of
// the file MEXTIME_RAISED_LOG names: the identifiers check
// (tests/sweep/raised.sh) reads what the suites raised.
static void log_raised(const Call &call) {
    const char *log = std::getenv("MEXTIME_RAISED_LOG");
    if (!log || !*log) return;
    std::FILE *file = std::fopen(log, "a");
    ASSERT_NE(file, nullptr) << log;
    if (call.outcome.raised) std::fprintf(file, "%s\n", call.outcome.identifier.c_str());
    for (const std::string &event : call.events)
        if (name_of(event) == "warning")
            std::fprintf(file, "%s\n", event.substr(8, event.size() - 9).c_str());
    std::fclose(file);
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
    log_raised(call);
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

Held held_now() {
    Held held{0, 0, spy_timers_open, spy_periods_held};
#ifndef _WIN32
    if (DIR *fds = opendir("/proc/self/fd")) {
        while (readdir(fds)) ++held.descriptors;
        closedir(fds);
    }
    held.slack = prctl(PR_GET_TIMERSLACK);
#endif
    return held;
}

std::ostream &operator<<(std::ostream &os, const Held &held) {
    return os << held.descriptors << " descriptors, slack " << held.slack << " ns, " << held.timers
              << " waitable timers, " << held.periods << " resolution requests";
}
