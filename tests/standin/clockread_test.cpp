#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

using Events = std::vector<std::string>;

TEST(Clockread, AnswerLiesBetweenHostReadings) {
    for (int nargout : {0, 1}) {
        SCOPED_TRACE(nargout);
        const double before = host_seconds();
        Call call = call_mex("clockread", nargout, {});
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        // With no output asked for, slot 0 still carries the answer.
        const double t = scalar_of(call.outcome.outputs[0]);
        EXPECT_LE(before, t);
        EXPECT_LE(t, after);
    }
}

// A clock cut to microseconds or coarser never steps by less than 1 us,
// though back-to-back calls come well under a microsecond apart. Where they
// cannot (under valgrind), the host's own readings show it and the test skips.
TEST(Clockread, StepsByLessThanAMicrosecond) {
    mexhost::Module module(mex_path("clockread"));
    ASSERT_TRUE(module.loaded()) << module.error();
    double last = 0, last_host = 0, step = 1, host_step = 1;
    for (int i = 0; i < 10000; ++i) {
        const double host = host_seconds();
        mexhost::Outcome outcome = mexhost::call(module.entry(), 1, {});
        ASSERT_FALSE(outcome.raised) << outcome.identifier;
        const double t = scalar_of(outcome.outputs[0]);
        if (i > 0 && t != last) step = std::min(step, t - last);
        if (i > 0 && host != last_host) host_step = std::min(host_step, host - last_host);
        last = t;
        last_host = host;
    }
    if (host_step > 0.8e-6) GTEST_SKIP() << "calls here are " << host_step << " s apart";
    // In whole nanoseconds: a difference of two doubles near 1 us may fall
    // a rounding error short of it.
    EXPECT_LT(std::llround(step * 1e9), 1000);
}

#ifndef _WIN32
// libstdc++'s steady_clock reads CLOCK_MONOTONIC: software that stamps with
// it can be compared with clockread directly.
TEST(Clockread, SteadyClockReadingLiesBetweenTwoReadings) {
    const double before = scalar_of(call_mex("clockread", 1, {}).outcome.outputs[0]);
    const auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
    const double after = scalar_of(call_mex("clockread", 1, {}).outcome.outputs[0]);
    const double steady =
        double(std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count()) / 1e9;
    EXPECT_LE(before, steady);
    EXPECT_LE(steady, after);
}
#endif

TEST(Clockread, QueriesFrequencyThenReadsCounterBeforeCreatingTheAnswer) {
    Call call = call_mex("clockread", 1, {});
    EXPECT_EQ(call.events, (Events{"frequency", "counter", "create", "getpr"}));
}

struct ErrorCase {
    const char *name;
    int nargout;
    std::vector<std::string> args;
    bool frequency_fails;
    const char *identifier;
    const char *message;
};

void PrintTo(const ErrorCase &c, std::ostream *os) { *os << c.name; }

class ClockreadError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ClockreadError, RaisesWithoutCreatingAnOutput) {
    const ErrorCase &c = GetParam();
    spy_fail_frequency(c.frequency_fails);
    Call call = call_mex("clockread", c.nargout, c.args);
    spy_fail_frequency(0);
    ASSERT_TRUE(call.outcome.raised);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    for (mxArray_tag *output : call.outcome.outputs) EXPECT_EQ(output, nullptr);
    // The frequency is queried first on every call, and nothing follows the error.
    EXPECT_EQ(call.events, (Events{"frequency", std::string("error(") + c.identifier + ")"}));
}

const char kFailure[] = "MATLAB:tsec:failure";
const char kFailureText[] = "QueryPerformanceFrequency failure.";
const char kInputs[] = "MATLAB:tsec:invalidNumInputs";
const char kInputsText[] = "No input required.";
const char kOutputs[] = "MATLAB:tsec:maxlhs";
const char kOutputsText[] = "Too many output arguments.";

INSTANTIATE_TEST_SUITE_P(
    Clockread, ClockreadError,
    testing::Values(
        ErrorCase{"OneInput", 0, {"1"}, false, kInputs, kInputsText},
        ErrorCase{"EmptyInput", 1, {"[]"}, false, kInputs, kInputsText},
        ErrorCase{"TwoInputs", 1, {"1", "'a'"}, false, kInputs, kInputsText},
        ErrorCase{"TwoOutputs", 2, {}, false, kOutputs, kOutputsText},
        ErrorCase{"InputsOverOutputs", 2, {"1"}, false, kInputs, kInputsText},
        ErrorCase{"FrequencyFailure", 1, {}, true, kFailure, kFailureText},
        ErrorCase{"FailureOverInputs", 0, {"1"}, true, kFailure, kFailureText},
        ErrorCase{"FailureOverBoth", 3, {"1", "2"}, true, kFailure, kFailureText}),
    [](const testing::TestParamInfo<ErrorCase> &info) { return info.param.name; });
