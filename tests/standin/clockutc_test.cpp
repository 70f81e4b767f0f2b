#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

using Events = std::vector<std::string>;

namespace {

constexpr int kMaxTries = 10;

// The number of (counter, utc, counter) tries between head and the answers
// of nargout outputs; -1 where the events are not in that order.
int tries_in(const Events &events, const Events &head, const std::string &utc, int nargout) {
    const std::size_t answers = 2 * static_cast<std::size_t>(std::max(nargout, 1));
    if (events.size() < head.size() + answers ||
        (events.size() - head.size() - answers) % 3 != 0)
        return -1;
    std::size_t k = 0;
    for (; k < head.size(); ++k)
        if (events[k] != head[k]) return -1;
    int tries = 0;
    for (; k + answers < events.size(); k += 3, ++tries)
        if (events[k] != "counter" || events[k + 1] != utc || events[k + 2] != "counter") return -1;
    for (; k < events.size(); k += 2)
        if (events[k] != "create" || events[k + 1] != "getpr") return -1;
    return tries;
}

TEST(Clockutc, AnswersAnInstantOnClockreadsTimebaseAndItsUtc) {
    for (int nargout : {0, 1, 2, 3}) {
        SCOPED_TRACE(nargout);
        const double before = host_seconds();
        Call call = call_mex("clockutc", nargout, {});
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        // With no output asked for, slot 0 still carries t.
        const auto &outputs = call.outcome.outputs;
        const double t = scalar_of(outputs[0]);
        EXPECT_LE(before, t);
        EXPECT_LE(t, after);
        if (nargout >= 2) {
            EXPECT_NEAR(scalar_of(outputs[1]), double(std::time(nullptr)), 2);
        }
        if (nargout >= 3) {
            EXPECT_GE(scalar_of(outputs[2]), 0);
        }
    }
}

struct ReadCase {
    const char *name;
    bool refuse_precise;
    Events head;     // before the first try
    const char *utc;  // the UTC clock read of each try
};

void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.name; }

class ClockutcReads : public testing::TestWithParam<ReadCase> {};

// On Windows, "utc" is the precise call as looked up at run time in kernel32.
TEST_P(ClockutcReads, PairEachUtcReadWithTwoCounterReadingsBeforeTheAnswers) {
    const ReadCase &c = GetParam();
    double step = 0;
#ifdef _WIN32
    DWORD adjustment, increment;
    BOOL disabled;
    ASSERT_TRUE(GetSystemTimeAdjustment(&adjustment, &increment, &disabled));
    if (c.refuse_precise) step = increment / 1e7;
    spy_refuse_precise_time(c.refuse_precise);
#endif
    int calls = 0, tries = 0, most = 0;
    for (; calls < 100; ++calls) {
        Call call = call_mex("clockutc", 3, {});
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        const int n = tries_in(call.events, c.head, c.utc, 3);
        ASSERT_GE(n, 1) << testing::PrintToString(call.events);
        ASSERT_LE(n, kMaxTries);
        // The fallback's step shows in the uncertainty.
        EXPECT_GE(scalar_of(call.outcome.outputs[2]), step);
        tries += n;
        most = std::max(most, n);
    }
#ifdef _WIN32
    spy_refuse_precise_time(0);
#endif
    std::printf("clockutc, %s: %.2f tries per call, at most %d, over %d calls\n", c.name,
                double(tries) / calls, most, calls);
}

INSTANTIATE_TEST_SUITE_P(Clockutc, ClockutcReads,
                         testing::Values(ReadCase{"Precise", false, {"frequency"}, "utc"}
#ifdef _WIN32
                                         ,
                                         ReadCase{"Fallback", true, {"frequency", "step"},
                                                  "utc(coarse)"}
#endif
                                         ),
                         [](const testing::TestParamInfo<ReadCase> &info) { return info.param.name; });

// The spy widens each try by its own delay, so none stops the tries early
// and the tightest is neither the first nor the last.
TEST(Clockutc, KeepsTheTightestTryAndAnswersItsMidpoint) {
    const int delays_us[kMaxTries] = {300, 200, 40, 120, 300, 300, 300, 300, 300, 300};
    spy_slow_utc(delays_us, kMaxTries);
    Call call = call_mex("clockutc", 3, {});
    spy_slow_utc(nullptr, 0);
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    SpyPair pairs[kMaxTries + 1];
    const int count = spy_utc_pairs(pairs, kMaxTries + 1);
    ASSERT_EQ(count, kMaxTries);
    const SpyPair *tightest = std::min_element(pairs, pairs + count, [](const SpyPair &a, const SpyPair &b) {
        return a.after - a.before < b.after - b.before;
    });
    const auto &outputs = call.outcome.outputs;
    EXPECT_NEAR(scalar_of(outputs[0]),
                (counter_seconds(tightest->before) + counter_seconds(tightest->after)) / 2, 1e-7);
    EXPECT_NEAR(scalar_of(outputs[2]), counter_seconds(tightest->after - tightest->before) / 2, 1e-7);
    EXPECT_NEAR(scalar_of(outputs[1]), double(std::time(nullptr)), 2);
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

class ClockutcError : public testing::TestWithParam<ErrorCase> {};

// Arguments are checked before anything is queried; nothing follows the error.
TEST_P(ClockutcError, RaisesBeforeReadingAClock) {
    const ErrorCase &c = GetParam();
    spy_fail_frequency(c.frequency_fails);
    Call call = call_mex("clockutc", c.nargout, c.args);
    spy_fail_frequency(0);
    ASSERT_TRUE(call.outcome.raised);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    for (mxArray_tag *output : call.outcome.outputs) EXPECT_EQ(output, nullptr);
    Events expected{std::string("error(") + c.identifier + ")"};
    if (c.args.empty() && c.nargout <= 3) expected.insert(expected.begin(), "frequency");
    EXPECT_EQ(call.events, expected);
}

const char kFailure[] = "MATLAB:clockutc:failure";
const char kFailureText[] = "The system clocks cannot be read.";
const char kInputs[] = "MATLAB:clockutc:invalidNumInputs";
const char kInputsText[] = "No input arguments permitted.";
const char kOutputs[] = "MATLAB:clockutc:maxlhs";
const char kOutputsText[] = "Too many output arguments.";

INSTANTIATE_TEST_SUITE_P(
    Clockutc, ClockutcError,
    testing::Values(ErrorCase{"OneInput", 0, {"1"}, false, kInputs, kInputsText},
                    ErrorCase{"EmptyInput", 3, {"[]"}, false, kInputs, kInputsText},
                    ErrorCase{"FourOutputs", 4, {}, false, kOutputs, kOutputsText},
                    ErrorCase{"InputsOverOutputs", 4, {"1"}, false, kInputs, kInputsText},
                    ErrorCase{"FrequencyFailure", 1, {}, true, kFailure, kFailureText},
                    ErrorCase{"InputsOverFailure", 0, {"1", "2"}, true, kInputs, kInputsText},
                    ErrorCase{"OutputsOverFailure", 4, {}, true, kOutputs, kOutputsText}),
    [](const testing::TestParamInfo<ErrorCase> &info) { return info.param.name; });

}  // namespace
