#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

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
