// The Darwin counter and UTC clock; sleep's wait, its latency bracket, the
// host's flags and the wait of waituntil and delay on macOS; against the
// stand-in Mach calls.
#include "counter.h"
#include "deadline.h"
#include "mach_standin.h"
#include "timer.h"
#include "utc.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using namespace standin;

struct Timebase {
    const char *name;
    std::uint32_t numer, denom;
    kern_return_t result;
    std::int64_t ticks_per_second;  // 0: refused
};

void PrintTo(const Timebase &t, std::ostream *os) { *os << t.name; }

class DarwinTimebase : public testing::TestWithParam<Timebase> {};

// The rate clockread divides by: a tick of numer/denom ns. A wrong rate
// scales every time and duration a script measures on a Mac; an inexact or
// unreadable one is refused (clockread's failure error) rather than answered.
TEST_P(DarwinTimebase, GivesTheWholeRateOrRefuses) {
    const Timebase &t = GetParam();
    mac.timebase = {t.numer, t.denom};
    mac.timebase_result = t.result;
    std::int64_t rate = -1;
    EXPECT_EQ(mextime::query_frequency(rate), t.ticks_per_second != 0);
    if (t.ticks_per_second != 0) {
        EXPECT_EQ(rate, t.ticks_per_second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Darwin, DarwinTimebase,
    testing::Values(Timebase{"AppleSilicon", 125, 3, KERN_SUCCESS, 24000000},
                    Timebase{"Intel", 1, 1, KERN_SUCCESS, 1000000000},
                    // 1e9 times the largest denominator, which 32 bits of
                    // arithmetic would wrap.
                    Timebase{"LargestDenominator", 5, 4000000000u, KERN_SUCCESS, 800000000000000000},
                    Timebase{"NotWholePerSecond", 7, 1, KERN_SUCCESS, 0}, Timebase{"ZeroNumerator", 0, 1, KERN_SUCCESS, 0},
                    Timebase{"ZeroDenominator", 1, 0, KERN_SUCCESS, 0}, Timebase{"Unreadable", 125, 3, KERN_FAILURE, 0}),
    [](const testing::TestParamInfo<Timebase> &info) { return info.param.name; });

// clockread answers mach_absolute_time's ticks over the rate, unscaled: at
// 24 MHz a count converted to nanoseconds first would be rounded, and then
// be off by up to 41 ns from steady_clock's count of the same instant.
TEST(DarwinClock, ReadsTheTicksAsMachAbsoluteTimeCountsThem) {
    mac.counter = 86400ull * 24000000 + 7;  // a day and 7 ticks of uptime
    EXPECT_EQ(mextime::read_counter(), 86400ll * 24000000 + 7);
}

// clockutc reads the POSIX time in nanoseconds. macOS counts it in whole
// microseconds: the uncertainty must include that step, or it claims a
// precision that the reading does not have. A nanosecond is finer than two
// counter readings tell apart; unknown, the step is macOS's microsecond.
TEST(DarwinClock, UtcIsPosixTimeInItsSteps) {
    const std::int64_t before = std::time(nullptr);
    const mextime::UtcClock clock = mextime::find_utc_clock();
    const std::int64_t utc = mextime::read_utc(clock) / clock.ticks_per_second;
    EXPECT_GE(utc, before);
    EXPECT_LE(utc, std::time(nullptr));
    for (const auto &[ns, step] : {std::pair<long, std::int64_t>{1000, 1000}, {1, 0}, {0, 1000}}) {
        mac.realtime_resolution = ns;
        EXPECT_EQ(mextime::find_utc_clock().step, step) << ns;
    }
}

using Waits = std::vector<std::pair<std::uint64_t, int>>;
constexpr int kTier0 = LATENCY_QOS_TIER_0;

// sleep as sleep.cpp makes it: planned, bracketed, waited (which releases).
mextime::HostStop sleep_ms(std::uint32_t ms) {
    const mextime::PlannedWait wait = mextime::plan_wait(ms);
    mextime::ResolutionRelease release = mextime::request_resolution();
    return mextime::wait_planned(wait, release);
}

// A Mac user's sleep(5) waits 5 ms: at 24 MHz, 120000 ticks past the
// reading taken as the call starts; at an Intel Mac's 1 GHz, 5000000.
TEST(DarwinWait, PlansWholeMillisecondsInTicks) {
    mac.counter = 1000;
    EXPECT_EQ(mextime::plan_wait(5).deadline, 1000 + 120000);
    EXPECT_EQ(mextime::plan_wait(4294967294u).deadline, 1001 + 4294967294LL * 24000);
    mac.timebase = {1, 1};
    EXPECT_EQ(mextime::plan_wait(5).deadline, 1002 + 5000000);
}

struct Thread {
    const char *name;
    standin::Qos qos;          // the class the kernel keeps
    standin::Qos pthread_qos;  // and pthread's copy of it
    int tier;
    int class_requests;  // each a system call
};

void PrintTo(const Thread &t, std::ostream *os) { *os << t.name; }

constexpr standin::Qos kDefault{QOS_CLASS_DEFAULT, 0}, kUtility{QOS_CLASS_UTILITY, -15};

class DarwinBracket : public testing::TestWithParam<Thread> {};

// sleep(120) waits to 2880000 ticks past the call's start in 50 ms slices,
// to hear the host. A signal that breaks a wait off (KERN_ABORTED) does not
// shorten it: the slice starts again at the reading after. All of it runs at
// latency tier 0, so that macOS coalesces the wake-ups least (a user-initiated
// or default class alone would let them fire up to 5 ms late), and the
// thread ends as it began: its own tier, not "none", and its own QoS class,
// which any thread_policy_set would take away for good, lowering the
// thread's priority after the wait. The last slice ends 5 us (120 ticks)
// early, the bracket given back there, and the counter is read to the end. A user-interactive class implies tier 0
// already, and costs the wait no call.
TEST_P(DarwinBracket, SleepsInSlicesAtTier0) {
    const Thread &thread = GetParam();
    mac.qos = thread.qos;
    mac.pthread_qos = thread.pthread_qos;
    mac.latency_tier = thread.tier;
    mac.aborted_waits = 1;
    mac.counter = 1000;
    ASSERT_EQ(sleep_ms(120), mextime::HostStop::None);
    EXPECT_EQ(mac.waits, (Waits{{1201000, kTier0}, {1201001, kTier0}, {2401001, kTier0}, {2880880, kTier0}}));
    EXPECT_GE(mac.counter, 2881000u);
    EXPECT_EQ(mac.latency_tier, thread.tier);
    EXPECT_EQ(mac.qos, thread.qos);
    EXPECT_EQ(mac.class_requests, thread.class_requests);
}

INSTANTIATE_TEST_SUITE_P(
    Darwin, DarwinBracket,
    testing::Values(Thread{"NoClassAtTier3", kNone, kNone, LATENCY_QOS_TIER_3, 0},
                    // Its class implies tier 0 already.
                    Thread{"UserInteractive", kInteractive, kInteractive, LATENCY_QOS_TIER_UNSPECIFIED, 0},
                    Thread{"UserInitiated", kInitiated, kInitiated, LATENCY_QOS_TIER_UNSPECIFIED, 2},
                    Thread{"Default", kDefault, kDefault, LATENCY_QOS_TIER_UNSPECIFIED, 2},
                    Thread{"Utility", kUtility, kUtility, LATENCY_QOS_TIER_UNSPECIFIED, 2},
                    // A Mach call took the class away before; pthread still
                    // tells it.
                    Thread{"ClassTakenBefore", kNone, kInitiated, LATENCY_QOS_TIER_UNSPECIFIED, 1}),
    [](const testing::TestParamInfo<Thread> &info) { return info.param.name; });

// The hosts' flags, found in the process by name. Ctrl+C ends a long sleep
// after its first slice: MATLAB's with an error, Octave's returning at once.
// Another signal is handled by Octave with the thread's class and tier
// given back first, then the wait goes on at tier 0.
TEST(DarwinWait, HearsTheHost) {
    mac.set_qos(kInitiated);
    mac.matlab_interrupt = true;
    EXPECT_EQ(sleep_ms(10000), mextime::HostStop::Error);
    mac.matlab_interrupt = false;
    octave_interrupt_state = 1;
    EXPECT_EQ(sleep_ms(10000), mextime::HostStop::Return);
    octave_interrupt_state = 0;
    octave_signal_caught = 1;
    EXPECT_EQ(sleep_ms(60), mextime::HostStop::None);
    EXPECT_EQ(mac.tier_when_handled, LATENCY_QOS_TIER_1);
    EXPECT_EQ(mac.qos_when_handled, kInitiated);
    EXPECT_EQ(mac.waits.size(), 1 + 1 + 2u);
    for (const auto &wait : mac.waits) EXPECT_EQ(wait.second, kTier0);
}

// waituntil's wait: the timer to the first tick at t - spin, at tier 0, then
// the counter read until t. Here t - spin is 1.029046875 s, whose product
// with the rate, truncated, falls a tick short of 24697125.
TEST(DarwinWait, WaitsUntilATimeOnTheCounter) {
    mac.set_qos(kDefault);
    mac.counter = 24000000;
    std::int64_t now = mextime::read_counter();
    ASSERT_EQ(mextime::wait_until(1.031, 1.0 / 512, now, 24000000), mextime::HostStop::None);
    EXPECT_EQ(mac.waits, (Waits{{24697125, kTier0}}));
    EXPECT_GE(mextime::seconds(now, 24000000), 1.031);
    EXPECT_EQ(mac.qos, kDefault);
}

}  // namespace
