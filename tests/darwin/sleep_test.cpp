// sleep's wait, the resolution bracket, the host's flags and the wait of
// waituntil and delay on macOS, against the stand-in Mach calls.
#include "counter.h"
#include "deadline.h"
#include "host_flags.h"
#include "interrupt.h"
#include "mach_standin.h"
#include "timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using Calls = std::vector<std::string>;

constexpr std::int64_t kRate = 24000000;  // Apple silicon
constexpr unsigned kTier0 = (0xFF << 16) | 1, kTier3 = (0xFF << 16) | 4;

std::string set_tier(unsigned tier) {
    char text[64];
    std::snprintf(text, sizeof text, "thread_policy_set(latency_qos, tier=0x%x)", tier);
    return text;
}
const char kGetTier[] = "thread_policy_get(7)";

Calls only(const Calls &calls, const std::string &prefix) {
    Calls kept;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                 [&](const std::string &call) { return call.rfind(prefix, 0) == 0; });
    return kept;
}

// Puts the calling thread at latency tier 3, as a thread of the host might
// be, so that giving back "none" instead would show.
void start_at_tier3() {
    thread_latency_qos_policy_data_t policy{static_cast<thread_latency_qos_t>(kTier3)};
    thread_policy_set(pthread_mach_thread_np(pthread_self()), THREAD_LATENCY_QOS_POLICY,
                      reinterpret_cast<thread_policy_t>(&policy), THREAD_LATENCY_QOS_POLICY_COUNT);
    standin::take_calls();
}

// sleep as sleep.cpp makes it: planned, bracketed, waited, released.
mextime::HostStop sleep_ms(std::uint32_t ms) {
    const mextime::PlannedWait wait = mextime::plan_wait(ms);
    mextime::ResolutionRelease release = mextime::request_resolution();
    const mextime::HostStop stop = mextime::wait_planned(wait, release);
    mextime::release_resolution(release);
    return stop;
}

class DarwinWait : public testing::Test {
protected:
    void SetUp() override {
        standin::reset();
        host_flags = {};
        octave_interrupt_state = 0;
        octave_signal_caught = 0;
    }
    void TearDown() override { SetUp(); }
};

// A Mac user's sleep(5) waits 5 ms: at 24 MHz, 120000 ticks past the
// reading taken as the call starts; at an Intel Mac's 1 GHz, 5000000.
TEST_F(DarwinWait, PlansWholeMillisecondsInTicks) {
    standin::hold_counter(1000);
    EXPECT_EQ(mextime::plan_wait(5).deadline, 1000 + 5 * kRate / 1000);
    EXPECT_EQ(mextime::plan_wait(5).ms, 5u);
    EXPECT_EQ(mextime::plan_wait(4294967294u).deadline, 1000 + 4294967294LL * (kRate / 1000));
    standin::set_timebase(1, 1);
    EXPECT_EQ(mextime::plan_wait(5).deadline, 1000 + 5000000);
}

// The whole wait runs at latency tier 0, so that macOS does not coalesce
// its wake-up with others' and wake it late; the thread's own tier is given
// back after, not "none".
TEST_F(DarwinWait, SleepsToTheDeadlineAtTier0AndGivesTheTierBack) {
    start_at_tier3();
    const std::int64_t start = static_cast<std::int64_t>(standin::counter_now());
    ASSERT_EQ(sleep_ms(120), mextime::HostStop::None);
    const std::int64_t end = static_cast<std::int64_t>(standin::counter_now());
    const Calls calls = standin::take_calls();
    const Calls waits = only(calls, "mach_wait_until");
    // 50 ms slices, to hear the host: the first ends well before the
    // deadline (under valgrind the calls are slow enough to need no third).
    ASSERT_FALSE(waits.empty());
    EXPECT_LE(std::stoll(waits.front().substr(16)) - start, 60 * kRate / 1000) << waits.front();
    // None past the deadline, planned within a few ms of start (valgrind).
    for (const std::string &wait : waits) EXPECT_LE(std::stoll(wait.substr(16)) - start, 140 * kRate / 1000) << wait;
    EXPECT_GE(end - start, 120 * kRate / 1000);
    Calls bracket = only(calls, "thread_policy");
    EXPECT_EQ(bracket, (Calls{kGetTier, set_tier(kTier0), set_tier(kTier3)}));
    EXPECT_EQ(static_cast<unsigned>(standin::thread_policies().latency_tier), kTier3);
}

// A signal that breaks mach_wait_until off (KERN_ABORTED) does not shorten
// the wait: it resumes to the same deadline (one slice: under valgrind the
// deadline may pass before a third wait is needed).
TEST_F(DarwinWait, ResumesAnAbortedWaitToTheSameDeadline) {
    standin::abort_waits(2);
    const std::int64_t start = static_cast<std::int64_t>(standin::counter_now());
    ASSERT_EQ(sleep_ms(40), mextime::HostStop::None);
    EXPECT_GE(static_cast<std::int64_t>(standin::counter_now()) - start, 40 * kRate / 1000);
    const Calls waits = only(standin::take_calls(), "mach_wait_until");
    ASSERT_GE(waits.size(), 2u);
    for (const std::string &wait : waits) EXPECT_EQ(wait, waits[0]);
}

// MATLAB's Ctrl+C, found in the process, ends a long sleep after one slice.
TEST_F(DarwinWait, MatlabCtrlCEndsALongSleep) {
    const mextime::InterruptSource source = mextime::find_interrupt_source();
    EXPECT_NE(source.is_interrupt_pending, nullptr);
    host_flags.matlab_interrupt = true;
    EXPECT_EQ(sleep_ms(10000), mextime::HostStop::Error);
    EXPECT_EQ(only(standin::take_calls(), "mach_wait_until").size(), 1u);
}

// Octave's flags, found in the process: Ctrl+C returns at once, and another
// signal is handled by Octave with the tier given back first, then the
// wait goes on at tier 0.
TEST_F(DarwinWait, OctaveFlagsAreHeard) {
    const mextime::InterruptSource source = mextime::find_interrupt_source();
    EXPECT_EQ(source.octave_interrupt, &octave_interrupt_state);
    EXPECT_EQ(source.octave_signal, &octave_signal_caught);
    octave_interrupt_state = 1;
    EXPECT_EQ(sleep_ms(10000), mextime::HostStop::Return);
    octave_interrupt_state = 0;

    start_at_tier3();
    octave_signal_caught = 1;
    EXPECT_EQ(sleep_ms(60), mextime::HostStop::None);
    const Calls calls = standin::take_calls();
    const auto handled = std::find(calls.begin(), calls.end(), "octave_handle_signal");
    ASSERT_NE(handled, calls.end());
    EXPECT_EQ(only(Calls(calls.begin(), handled), "thread_policy").back(), set_tier(kTier3));
    EXPECT_EQ(only(Calls(handled, calls.end()), "thread_policy"),
              (Calls{kGetTier, set_tier(kTier0), set_tier(kTier3)}));
}

// waituntil's wait: the timer to the first tick at t - spin, in ticks,
// then the counter read until t; tier 0 only while the timer waits.
TEST_F(DarwinWait, WaitsUntilATimeOnTheCounter) {
    start_at_tier3();
    std::int64_t now = mextime::read_counter();
    const double t = mextime::seconds(now, kRate) + 0.03, spin = 0.002;
    standin::take_calls();
    ASSERT_EQ(mextime::wait_until(t, spin, now, kRate), mextime::HostStop::None);
    EXPECT_GE(mextime::seconds(now, kRate), t);
    EXPECT_GE(mextime::seconds(mextime::read_counter(), kRate), t);
    const Calls calls = standin::take_calls();
    const Calls waits = only(calls, "mach_wait_until");
    ASSERT_EQ(waits.size(), 1u);
    const std::int64_t wake = std::stoll(waits[0].substr(16));
    EXPECT_GE(mextime::seconds(wake, kRate), t - spin);
    EXPECT_LT(mextime::seconds(wake - 1, kRate), t - spin);
    EXPECT_EQ(only(calls, "thread_policy"), (Calls{kGetTier, set_tier(kTier0), set_tier(kTier3)}));
}

}  // namespace
