// The Darwin counter and UTC clock, against the stand-in Mach calls.
#include "counter.h"
#include "mach_standin.h"
#include "utc.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using standin::mac;

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

}  // namespace
