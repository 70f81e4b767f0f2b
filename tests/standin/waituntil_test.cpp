#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <cstdio>

using Events = std::vector<std::string>;

namespace {

// How far ahead a deadline is set that must still be ahead when the call
// reads the clock. The tests keep the file loaded and make one call first,
// since loading it, or a first call under valgrind, can take longer.
#ifdef _WIN32
constexpr double kAhead = 0.3;
#else
constexpr double kAhead = 0.1;
#endif

struct KeptLoaded {
    mexhost::Module module{mex_path("waituntil")};
    KeptLoaded() { call_mex("waituntil", 1, {"0"}); }
};

std::string name_of(const std::string &event) { return event.substr(0, event.find('(')); }

// The platform waits, their brackets and the host calls; clock readings
// and input checks are left out.
Events waits_of(const Events &events) {
    Events kept;
    for (const std::string &event : events)
        for (const char *wanted : {"create", "throttling", "request", "hold_latency", "timer", "due",
                                   "wait", "close", "drop_latency", "release", "error"})
            if (name_of(event) == wanted) kept.push_back(event);
    return kept;
}

// A time on the host's reading of clockread's timebase, with every digit.
std::string seconds_text(double t) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", t);
    return text;
}

struct WaitCase {
    const char *name;
    double ahead;  // s after the host's reading; 0 or less is past
    std::vector<std::string> spin;
    bool waits;  // a platform wait is made
};

void PrintTo(const WaitCase &c, std::ostream *os) { *os << c.name; }

class WaituntilWait : public testing::TestWithParam<WaitCase> {};

TEST_P(WaituntilWait, ReturnsNoEarlierThanTheDeadlineAndAnswersWhen) {
    const WaitCase &c = GetParam();
    const KeptLoaded kept;
    for (int nargout : {0, 1}) {
        SCOPED_TRACE(nargout);
        const double t = host_seconds() + c.ahead;
        std::vector<std::string> args{c.ahead == -1e300 ? "-Inf" : seconds_text(t)};
        args.insert(args.end(), c.spin.begin(), c.spin.end());
        Call call = call_mex("waituntil", nargout, args);
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier << ": " << call.outcome.message;
        const double answer = scalar_of(call.outcome.outputs[0]);
        EXPECT_GE(after, t);
        EXPECT_GE(answer, t);
        EXPECT_LE(answer, after);
        bool waited = false;
        for (const std::string &event : waits_of(call.events))
            if (name_of(event) == "wait") waited = true;
        EXPECT_EQ(waited, c.waits);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilWait,
    testing::Values(WaitCase{"DefaultSpin", kAhead, {}, true},
                    WaitCase{"NoSpin", kAhead, {"0"}, true},
                    WaitCase{"SpinLongerThanTheWait", kAhead, {"1"}, false},
                    WaitCase{"Past", -0.5, {}, false},
                    WaitCase{"PastNoSpin", -0.5, {"0"}, false},
                    WaitCase{"MinusInf", -1e300, {}, false}),
    [](const testing::TestParamInfo<WaitCase> &info) { return info.param.name; });

TEST(Waituntil, NoSpinEndsTheTimerWaitAtTheDeadline) {
    const KeptLoaded kept;
    const double t = host_seconds() + kAhead;
    Call call = call_mex("waituntil", 1, {seconds_text(t), "0"});
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    // One reading after the last timer wait: it already answers t or more.
    int readings = -1;
    for (const std::string &event : call.events) {
        if (name_of(event) == "wait") readings = 0;
        if (name_of(event) == "counter" && readings >= 0) ++readings;
    }
    EXPECT_EQ(readings, 1);
}

struct ErrorCase {
    const char *name;
    std::vector<std::string> args;
    int nargout;
    const char *identifier;
    const char *message;
};

void PrintTo(const ErrorCase &c, std::ostream *os) { *os << c.name; }

class WaituntilError : public testing::TestWithParam<ErrorCase> {};

TEST_P(WaituntilError, RaisesBeforeAnyWait) {
    const ErrorCase &c = GetParam();
    Call call = call_mex("waituntil", c.nargout, c.args);
    ASSERT_TRUE(call.outcome.raised);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    EXPECT_EQ(waits_of(call.events), Events{std::string("error(") + c.identifier + ")"});
}

const char kInputs[] = "MATLAB:waituntil:invalidNumInputs";
const char kInputsText[] = "One or two inputs required.";
const char kOutputs[] = "MATLAB:waituntil:maxlhs";
const char kOutputsText[] = "Too many output arguments.";
const char kDeadline[] = "MATLAB:waituntil:invalidDeadline";
const char kScalarText[] = "Deadline must be a real double scalar.";
const char kNaNText[] = "Deadline must not be NaN.";
const char kFarText[] = "Deadline must be less than 4294967 seconds away.";
const char kSpin[] = "MATLAB:waituntil:invalidSpin";
const char kSpinText[] = "Spin must be a number of seconds from 0 to 1.";

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilError,
    testing::Values(ErrorCase{"NoInput", {}, 1, kInputs, kInputsText},
                    ErrorCase{"NoInputTwoOutputs", {}, 2, kInputs, kInputsText},
                    ErrorCase{"ThreeInputs", {"0", "0", "0"}, 1, kInputs, kInputsText},
                    ErrorCase{"TwoOutputs", {"0"}, 2, kOutputs, kOutputsText},
                    ErrorCase{"TwoOutputsBadDeadline", {"'5'"}, 2, kOutputs, kOutputsText},
                    ErrorCase{"Char", {"'5'"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Logical", {"true"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Int32", {"int32(5)"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Single", {"single(5)"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Complex", {"1+2i"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Sparse", {"sparse(1)"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Empty", {"[]"}, 1, kDeadline, kScalarText},
                    ErrorCase{"Vector", {"[1,2]"}, 1, kDeadline, kScalarText},
                    ErrorCase{"NaN", {"NaN"}, 1, kDeadline, kNaNText},
                    ErrorCase{"NaNBeforeSpin", {"NaN", "NaN"}, 1, kDeadline, kNaNText},
                    ErrorCase{"Inf", {"Inf"}, 1, kDeadline, kFarText},
                    ErrorCase{"FarAhead", {"1e12"}, 1, kDeadline, kFarText},
                    ErrorCase{"FarBeforeSpin", {"1e12", "2"}, 1, kDeadline, kFarText},
                    ErrorCase{"SpinNegative", {"0", "-0.001"}, 1, kSpin, kSpinText},
                    ErrorCase{"SpinAboveOne", {"0", "1.5"}, 1, kSpin, kSpinText},
                    ErrorCase{"SpinNaN", {"0", "NaN"}, 1, kSpin, kSpinText},
                    ErrorCase{"SpinChar", {"0", "'a'"}, 1, kSpin, kSpinText},
                    ErrorCase{"SpinComplex", {"0", "1+2i"}, 1, kSpin, kSpinText},
                    ErrorCase{"SpinVector", {"0", "[0,0]"}, 1, kSpin, kSpinText}),
    [](const testing::TestParamInfo<ErrorCase> &info) { return info.param.name; });

#ifdef _WIN32
// The due time is relative (negative), in 100 ns units: at most kAhead, and
// more than what loading the file can have taken of it.
TEST(WaituntilWindows, WaitsOnAHighResolutionTimer) {
    const KeptLoaded kept;
    const double t = host_seconds() + kAhead;
    Call call = call_mex("waituntil", 1, {seconds_text(t), "0"});
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    const Events waits = waits_of(call.events);
    ASSERT_GE(waits.size(), 5u);
    EXPECT_EQ(waits[0], "create");
    EXPECT_EQ(waits[1], "timer");
    long long due = 0;
    ASSERT_EQ(std::sscanf(waits[2].c_str(), "due(%lld)", &due), 1) << waits[2];
    EXPECT_LE(due, -kAhead * 1e6);
    EXPECT_GE(due, -kAhead * 1e7);
    EXPECT_EQ(waits[3], "wait");
    EXPECT_EQ(waits[4], "close");
}

TEST(WaituntilWindows, FallsBackToSleepsBracketWhereTheFlagIsRefused) {
    const KeptLoaded kept;
    spy_refuse_high_resolution_timer(1);
    const double t = host_seconds() + kAhead;
    Call call = call_mex("waituntil", 1, {seconds_text(t), "0"});
    spy_refuse_high_resolution_timer(0);
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_GE(host_seconds(), t);
    const Events waits = waits_of(call.events);
    ASSERT_GE(waits.size(), 5u);
    EXPECT_EQ((Events{waits.begin(), waits.begin() + 3}),
              (Events{"create", "timer(refused)", "throttling"}));
    EXPECT_EQ(waits[3], "request");
    unsigned long ms = 0;
    ASSERT_EQ(std::sscanf(waits[4].c_str(), "wait(%lu)", &ms), 1) << waits[4];
    EXPECT_GE(ms, kAhead * 100);
    EXPECT_LE(ms, kAhead * 1000);
    ASSERT_GE(waits.size(), 6u);
    EXPECT_EQ(waits[5], "release");
}
#endif

}  // namespace
