#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/prctl.h>
#endif

namespace {

// The host calls and the resolution bracket; the checks and clock readings
// that surround them are left out.
Events bracket_of(const Events &events) {
    return named(events, {"create", "getpr", "throttling", "request", "hold_latency", "wait", "drop_latency",
                          "release", "error"});
}

// A wait of ms inside the bracket, as the platform makes it: Windows opts
// out of timer throttling (where it can) before it requests the resolution;
// Linux holds the PM QoS request for exactly a wait longer than 0 ms. What
// the platform refuses (an ordinary user, an older Windows) changes no
// more than that: the wait goes on as before.
Events waited(int ms, int refused) {
    const std::string wait = "wait(" + std::to_string(ms) + ")";
    if (kWindows) {
        Events events{"create", "getpr"};
        if (!(refused & SPY_BEFORE_WINDOWS_8)) events.push_back("throttling");
        const bool resolution = !(refused & SPY_RESOLUTION);
        events.insert(events.end(), {resolution ? "request" : "request(refused)", wait,
                                     resolution ? "release" : "release(refused)"});
        return events;
    }
    if (ms == 0) return {"create", "getpr", "request", wait, "release"};
    if (refused & SPY_LATENCY) return {"create", "getpr", "request", "hold_latency(open refused)", wait, "release"};
    if (refused & SPY_LATENCY_WRITE)
        return {"create", "getpr", "request", "hold_latency(write refused)", "drop_latency", wait, "release"};
    return {"create", "getpr", "request", "hold_latency", wait, "drop_latency", "release"};
}

struct WaitCase : Row {
    std::vector<std::string> args;
    int ms;
    int refused = 0;  // what the spy makes the platform refuse
};

class SleepWait : public testing::TestWithParam<WaitCase> {};

// Nothing is left held: no descriptor, no timer resolution request, and
// the thread's own timer slack (neither the default 50 us, which a reset
// gives, nor the request) is given back; where it cannot be read, the
// default.
TEST_P(SleepWait, WaitsTheWholeMillisecondsInsideTheBracket) {
    const WaitCase &c = GetParam();
    Held held = held_now();
#ifndef _WIN32
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 0UL), 0);
    const long fallback = prctl(PR_GET_TIMERSLACK);
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 70000UL), 0);
    held.slack = c.refused & SPY_RESOLUTION ? fallback : 70000;
#endif
    spy_refusals = c.refused;
    for (int nargout : {0, 1}) {
        SCOPED_TRACE(nargout);
        const double before = host_seconds();
        Call call = call_mex("sleep", nargout, c.args);
        const double elapsed = host_seconds() - before;
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        // Slot 0 carries a 1x1 double 0 whether or not an output was asked for.
        EXPECT_EQ(scalar_of(call.outcome.outputs[0]), 0.0);
        EXPECT_EQ(bracket_of(call.events), waited(c.ms, c.refused));
        EXPECT_GE(elapsed, c.ms / 1000.0);
        EXPECT_EQ(held_now(), held);
    }
    spy_refusals = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Sleep, SleepWait,
    testing::Values(WaitCase{"Whole", {"5"}, 5}, WaitCase{"TruncatesFraction", {"2.9"}, 2},
                    WaitCase{"BelowOne", {"0.5"}, 0}, WaitCase{"FirstElementOnly", {"[5,10]"}, 5},
                    WaitCase{"ExtraInputsIgnored", {"3", "'abc'", "[]"}, 3}, WaitCase{"MinusInf", {"-Inf"}, 0},
                    WaitCase{"ComplexRealPart", {"1+2i"}, 1},
                    // Each refusal the bracket handles, on the platform that makes it.
                    WaitCase{"LatencyRefused", {"2"}, 2, SPY_LATENCY},
                    WaitCase{"LatencyWriteRefused", {"2"}, 2, SPY_LATENCY_WRITE},
                    WaitCase{"ResolutionRefused", {"2"}, 2, SPY_RESOLUTION},
                    WaitCase{"BeforeWindows8", {"2"}, 2, SPY_BEFORE_WINDOWS_8}),
    RowName());

#ifndef _WIN32
// A long wait, on the virtual counter with a timer that wakes on time: made
// in slices of 50 ms, between which the host is heard, with the PM QoS
// request held for its end only, and the milliseconds in the counter's ticks
// do not overflow. The bracket is released before the planned end, so that
// its cost is not added after the wake-up, and the counter is then read up
// to the end: no call returns before it.
TEST(SleepLong, InSlicesReleasedBeforeTheEndWhichIsReadOffTheCounter) {
    const long long step = 1000;
    spy_replay = {true, host_ticks(), step, {}, 0, {}, 0, 0, 0};
    const long long planned = spy_replay.now + 5000000000LL;
    const Call call = call_mex("sleep", 0, {"5000"});
    spy_replay.on = false;
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_GE(spy_replay.now - step, planned);
    EXPECT_GE(named(call.events, {"wait"}).size(), 100u);
    EXPECT_EQ(named(call.events, {"hold_latency"}).size(), 1u);
    EXPECT_GE(spy_latency_held_at, counter_seconds(planned) - 0.15);
    const Events tail = named(call.events, {"wait", "release", "counter"});
    const auto release = std::find(tail.begin(), tail.end(), "release");
    ASSERT_NE(release, tail.end());
    EXPECT_EQ(named(Events(release, tail.end()), {"wait"}), Events{});
    // A few microseconds of it: no more than the wait's lead, 1 us a reading.
    EXPECT_GE(std::count(release, tail.end(), "counter"), 2);
    EXPECT_LE(std::count(release, tail.end(), "counter"), 10);
}
#endif

}  // namespace
