// Calls a real deliverable through the stand-in host's loader, with the spy
// armed for exactly the duration of the call.
#ifndef MEXTIME_TESTS_HARNESS_H
#define MEXTIME_TESTS_HARNESS_H

#include "loader.h"

#include <initializer_list>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using Events = std::vector<std::string>;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

struct Call {
    mexhost::Outcome outcome;
    Events events;
};

// The built deliverable, e.g. dist/glnxa64/clockread.mexa64.
std::string mex_path(const std::string &name);

// args use mexhost's syntax: "5", "[]", "[5,10]", "int32(5)", ...
Call call_mex(const std::string &name, int nargout, const std::vector<std::string> &args);

// The host's own reading of the clock the deliverables use, in seconds,
// computed as clockread computes it.
double host_seconds();
// A count of the counter's ticks in seconds, as clockread computes it, and
// the host's own reading in ticks.
double counter_seconds(long long ticks);
long long host_ticks();

// The stand-in libut's Ctrl+C flag, as mexhost sets it; answers the flag
// as it was.
extern "C" bool utSetInterruptPending(bool pending);

// What a call may still hold when it returns: the process's descriptors
// and the thread's timer slack (Linux); the waitable timers and the timer
// resolution requests of the MEX file (Windows, as the spy counts them).
struct Held {
    long descriptors, slack, timers, periods;
    bool operator==(const Held &o) const {
        return std::tie(descriptors, slack, timers, periods) == std::tie(o.descriptors, o.slack, o.timers, o.periods);
    }
};
Held held_now();
std::ostream &operator<<(std::ostream &os, const Held &held);

// An event's name, without its arguments; the events of those names, in order.
std::string name_of(const std::string &event);
Events named(const Events &events, std::initializer_list<const char *> names);

// A time as an argument, with every digit of the double.
std::string seconds_text(double t);

// The value of a 1x1 real double answer; fails the test otherwise.
double scalar_of(const mxArray_tag *array);

// A row of a test table: its name names the test, in gtest and in ctest's list.
struct Row {
    const char *name;
};
inline std::ostream &operator<<(std::ostream &os, const Row &row) { return os << row.name; }
struct RowName {
    template <class Info> std::string operator()(const Info &info) const { return info.param.name; }
};

#endif
