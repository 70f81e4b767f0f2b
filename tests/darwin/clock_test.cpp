// The Darwin counter and UTC clock, against the stand-in Mach calls.
#include "counter.h"
#include "mach_standin.h"
#include "utc.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using Calls = std::vector<std::string>;

class DarwinClock : public testing::Test {
protected:
    void SetUp() override { standin::reset(); }
    void TearDown() override { standin::reset(); }
};

struct Timebase {
    const char *name;
    std::uint32_t numer, denom;
    std::int64_t ticks_per_second;  // 0: refused
};

void PrintTo(const Timebase &t, std::ostream *os) { *os << t.name; }

class DarwinTimebase : public testing::TestWithParam<Timebase> {
protected:
    void SetUp() override { standin::reset(); }
    void TearDown() override { standin::reset(); }
};

// The rate clockread divides by: a tick of numer/denom ns. A wrong rate
// scales every time and duration a script measures on a Mac; an inexact
// one is refused (clockread's failure error) rather than answered.
TEST_P(DarwinTimebase, GivesTheWholeRateOrRefuses) {
    const Timebase &t = GetParam();
    standin::set_timebase(t.numer, t.denom);
    std::int64_t rate = -1;
    EXPECT_EQ(mextime::query_frequency(rate), t.ticks_per_second != 0);
    if (t.ticks_per_second != 0) { EXPECT_EQ(rate, t.ticks_per_second); }
    EXPECT_EQ(standin::take_calls(), (Calls{"mach_timebase_info"}));
}

INSTANTIATE_TEST_SUITE_P(
    Darwin, DarwinTimebase,
    testing::Values(Timebase{"AppleSilicon", 125, 3, 24000000}, Timebase{"Intel", 1, 1, 1000000000},
                    // 1e9 times the largest denominator, which 32 bits of
                    // arithmetic would wrap.
                    Timebase{"LargestDenominator", 5, 4000000000u, 800000000000000000},
                    Timebase{"NotWholePerSecond", 7, 1, 0}, Timebase{"ZeroNumerator", 0, 1, 0},
                    Timebase{"ZeroDenominator", 1, 0, 0}),
    [](const testing::TestParamInfo<Timebase> &info) { return info.param.name; });

// mach_timebase_info failing leaves clockread with nothing to divide by.
TEST_F(DarwinClock, RefusesWhenTheTimebaseCannotBeRead) {
    standin::set_timebase(125, 3, KERN_FAILURE);
    std::int64_t rate = 0;
    EXPECT_FALSE(mextime::query_frequency(rate));
}

// clockread answers mach_absolute_time's ticks over the rate, unscaled: at
// 24 MHz a count converted to nanoseconds first would be rounded, and then
// be off by up to 41 ns from steady_clock's count of the same instant.
TEST_F(DarwinClock, ReadsTheTicksAsMachAbsoluteTimeCountsThem) {
    std::int64_t rate = 0;
    ASSERT_TRUE(mextime::query_frequency(rate));
    const std::uint64_t ticks = 86400ull * 24000000 + 7;  // a day and 7 ticks of uptime
    standin::hold_counter(ticks);
    standin::take_calls();
    const std::int64_t read = mextime::read_counter();
    EXPECT_EQ(read, static_cast<std::int64_t>(ticks));
    EXPECT_EQ(standin::take_calls(), (Calls{"mach_absolute_time"}));
    EXPECT_EQ(mextime::seconds(read, rate), 86400.0 + 7 / 24e6);
}

// The counter moves on as the stand-in's clock does, tick for tick.
TEST_F(DarwinClock, FollowsTheCounter) {
    const std::int64_t before = static_cast<std::int64_t>(standin::counter_now());
    const std::int64_t read = mextime::read_counter();
    const std::int64_t after = static_cast<std::int64_t>(standin::counter_now());
    EXPECT_LE(before, read);
    EXPECT_LE(read, after);
}

// macOS counts CLOCK_REALTIME in whole microseconds: clockutc's
// uncertainty must include that step, or it claims a precision that the
// UTC reading does not have.
TEST_F(DarwinClock, UtcStepIsTheRealtimeResolution) {
    standin::set_realtime_resolution(1000);
    mextime::UtcClock clock = mextime::find_utc_clock();
    EXPECT_EQ(clock.ticks_per_second, 1000000000);
    EXPECT_EQ(clock.step, 1000);
    // A nanosecond is finer than two counter readings tell apart.
    standin::set_realtime_resolution(1);
    EXPECT_EQ(mextime::find_utc_clock().step, 0);
    // Unknown, it is taken as macOS's microsecond.
    standin::set_realtime_resolution(0);
    EXPECT_EQ(mextime::find_utc_clock().step, 1000);
}

// The UTC reading is the POSIX time now, in nanoseconds.
TEST_F(DarwinClock, UtcIsPosixTimeInNanoseconds) {
    const mextime::UtcClock clock = mextime::find_utc_clock();
    const std::int64_t before = std::time(nullptr);
    const std::int64_t utc = mextime::read_utc(clock);
    const std::int64_t after = std::time(nullptr);
    EXPECT_GE(utc / clock.ticks_per_second, before);
    EXPECT_LE(utc / clock.ticks_per_second, after);
}

}  // namespace
