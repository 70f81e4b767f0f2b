#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr int kMaxTries = 10;

struct ReadCase : Row {
    int refused;      // what the spy makes the platform refuse
    const char *utc;  // the event of each UTC clock read
};

class ClockutcReads : public testing::TestWithParam<ReadCase> {};

// nargout 0 to 3 in turn: slot 0 is always filled. On Windows "utc" is the
// precise call, as looked up at run time in kernel32.
TEST_P(ClockutcReads, AnswerAnInstantAndItsUtcFromPairedReads) {
    const ReadCase &c = GetParam();
    double step = 0;  // the fallback's, which shows in the uncertainty
#ifdef _WIN32
    // The system's step, or the clock interrupt's default period where the
    // system does not tell it.
    DWORD adjustment, increment;
    BOOL disabled;
    ASSERT_TRUE(GetSystemTimeAdjustment(&adjustment, &increment, &disabled));
    if (c.refused & SPY_BEFORE_WINDOWS_8) step = c.refused & SPY_TIME_STEP ? 0.015625 : increment / 1e7;
    spy_refusals = c.refused;
#endif
    for (long calls = 0; calls < 100; ++calls) {
        const int nargout = calls % 4;
        const double before = host_seconds();
        Call call = call_mex("clockutc", nargout, {});
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        // The frequency, each try's reads, then each answer made and filled.
        const long n = std::count(call.events.begin(), call.events.end(), c.utc);
        ASSERT_TRUE(n >= 1 && n <= kMaxTries) << n;
        Events expected{"frequency"};
        for (long k = 0; k < n; ++k) expected.insert(expected.end(), {"counter", c.utc, "counter"});
        for (int k = 0; k < std::max(nargout, 1); ++k) expected.insert(expected.end(), {"create", "getpr"});
        ASSERT_EQ(call.events, expected);
        const auto &outputs = call.outcome.outputs;
        const double t = scalar_of(outputs[0]);
        EXPECT_LE(before, t);
        EXPECT_LE(t, after);
        if (nargout >= 2) { EXPECT_NEAR(scalar_of(outputs[1]), double(std::time(nullptr)), 2); }
        if (nargout >= 3) { EXPECT_GE(scalar_of(outputs[2]), step); }
    }
}

INSTANTIATE_TEST_SUITE_P(Clockutc, ClockutcReads,
#ifdef _WIN32
                         testing::Values(ReadCase{"Precise", 0, "utc"},
                                         ReadCase{"Fallback", SPY_BEFORE_WINDOWS_8, "utc(coarse)"},
                                         ReadCase{"FallbackStepUnknown", SPY_BEFORE_WINDOWS_8 | SPY_TIME_STEP, "utc(coarse)"}),
#else
                         testing::Values(ReadCase{"Precise", 0, "utc"}),
#endif
                         RowName());

// The spy widens each try by its own delay, so none stops the tries early
// and the tightest is neither the first nor the last.
TEST(Clockutc, KeepsTheTightestTryAndAnswersItsMidpoint) {
    spy_utc_delays = {300, 200, 40, 120, 300, 300, 300, 300, 300, 300};
    Call call = call_mex("clockutc", 3, {});
    spy_utc_delays.clear();
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    ASSERT_EQ(spy_pair_count, kMaxTries);
    const SpyPair *tightest = std::min_element(spy_pairs, spy_pairs + kMaxTries, [](const SpyPair &a, const SpyPair &b) {
        return a.after - a.before < b.after - b.before;
    });
    const auto &outputs = call.outcome.outputs;
    EXPECT_NEAR(scalar_of(outputs[0]),
                (counter_seconds(tightest->before) + counter_seconds(tightest->after)) / 2, 1e-7);
    EXPECT_NEAR(scalar_of(outputs[2]), counter_seconds(tightest->after - tightest->before) / 2, 1e-7);
    // The UTC of that same try: the tries lie at least 40 us apart.
    EXPECT_NEAR(scalar_of(outputs[1]), tightest->utc, 1e-6);
    EXPECT_NEAR(scalar_of(outputs[1]), double(std::time(nullptr)), 2);
}

}  // namespace
