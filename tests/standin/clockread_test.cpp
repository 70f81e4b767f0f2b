#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

// The frequency first, then the counter before the answer is made; with no
// output asked for, slot 0 still carries it.
TEST(Clockread, AnswerLiesBetweenHostReadings) {
    for (int nargout : {0, 1}) {
        const double before = host_seconds();
        Call call = call_mex("clockread", nargout, {});
        const double t = scalar_of(call.outcome.outputs[0]);
        EXPECT_LE(before, t);
        EXPECT_LE(t, host_seconds());
        EXPECT_EQ(call.events, (Events{"frequency", "counter", "create", "getpr"}));
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
