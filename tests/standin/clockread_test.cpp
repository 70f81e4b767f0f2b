#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// The host reads CLOCK_MONOTONIC (Windows: QueryPerformanceCounter), the
// clock std::chrono::steady_clock reads, so software that stamps with it
// compares with clockread directly. The frequency first, then the counter
// before the answer is made; with no output asked for, slot 0 still carries it.
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
