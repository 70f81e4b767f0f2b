#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <regex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// How far ahead a deadline is set that must still be ahead when the call
// reads the clock. The tests keep the file loaded and make one call first,
// since loading it, or a first call under valgrind, can take longer.
#ifdef _WIN32
constexpr double kAhead = 0.3;
constexpr double kDefaultSpin = 0.001;
#else
constexpr double kAhead = 0.1;
constexpr double kDefaultSpin = 0.0005;
#endif
constexpr double kLeastSpin = 20e-6;

struct KeptLoaded {
    mexhost::Module module{mex_path("waituntil")};
    KeptLoaded() { call_mex("waituntil", 1, {"0"}); }
};

// The platform waits, their brackets and the host calls; clock readings
// and input checks are left out.
Events waits_of(const Events &events) {
    return named(events, {"create", "throttling", "request", "hold_latency", "timer", "due", "wait", "close",
                          "drop_latency", "release", "error"});
}

struct WaitCase {
    const char *name;
    double ahead;  // s after the host's reading; 0 or less is past
    std::vector<std::string> spin;
    bool waits;  // a platform wait is made
};

void PrintTo(const WaitCase &c, std::ostream *os) { *os << c.name; }

class WaituntilWait : public testing::TestWithParam<WaitCase> {};

TEST_P(WaituntilWait, ReturnsNoEarlierThanTheDeadlineAndAnswersWhenAndTheSpin) {
    const WaitCase &c = GetParam();
    const KeptLoaded kept;
    for (int nargout : {0, 1, 2}) {
        SCOPED_TRACE(nargout);
        const double t = host_seconds() + c.ahead;
        std::vector<std::string> args{c.ahead == -1e300 ? "-Inf" : seconds_text(t)};
        args.insert(args.end(), c.spin.begin(), c.spin.end());
        Call call = call_mex("waituntil", nargout, args);
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier << ": " << call.outcome.message;
        const double answer = scalar_of(call.outcome.outputs[0]);
        EXPECT_GE(after, t);
        EXPECT_GE(answer, t);
        EXPECT_LE(answer, after);
        EXPECT_EQ(!named(call.events, {"wait"}).empty(), c.waits);
        if (nargout < 2) continue;
        // The spin given, or one within the learned spin's bounds.
        const double spin = scalar_of(call.outcome.outputs[1]);
        EXPECT_TRUE(c.spin.empty() ? spin >= kLeastSpin && spin <= kDefaultSpin : spin == std::stod(c.spin[0]))
            << spin;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilWait,
    testing::Values(WaitCase{"DefaultSpin", kAhead, {}, true},
                    WaitCase{"NoSpin", kAhead, {"0"}, true},
                    WaitCase{"SpinLongerThanTheWait", kAhead, {"1"}, false},
                    WaitCase{"Past", -0.5, {}, false},
                    WaitCase{"MinusInf", -1e300, {}, false}),
    [](const testing::TestParamInfo<WaitCase> &info) { return info.param.name; });

// The whole timer wait with no spin: opened once, waited in slices of at
// most 50 ms (the interrupt poll), closed once, and nothing else. After the
// last slice, the reading that ends it and the one after the close: both
// already answer t or more, so none spins.
struct SliceCase {
    const char *name;
    bool refuse_high_resolution;
    const char *waits;  // the platform waits and brackets, each followed by a space
};

void PrintTo(const SliceCase &c, std::ostream *os) { *os << c.name; }

class WaituntilSlices : public testing::TestWithParam<SliceCase> {};

TEST_P(WaituntilSlices, WaitInsideOneBracket) {
    const SliceCase &c = GetParam();
    const KeptLoaded kept;
    const double t = host_seconds() + kAhead + 0.1;
    spy_refuse_high_resolution_timer(c.refuse_high_resolution);
    Call call = call_mex("waituntil", 1, {seconds_text(t), "0"});
    spy_refuse_high_resolution_timer(0);
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_GE(host_seconds(), t);
    std::string waits;
    for (const std::string &event : waits_of(call.events)) waits += event + " ";
    EXPECT_TRUE(std::regex_match(waits, std::regex(c.waits))) << waits;
    int readings = -1;
    for (const std::string &event : call.events) {
        if (name_of(event) == "wait") readings = 0;
        if (name_of(event) == "counter" && readings >= 0) ++readings;
    }
    EXPECT_EQ(readings, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilSlices,
#ifdef _WIN32
    // A relative due time in 100 ns units, first the whole poll; where the
    // flag is refused, sleep's bracket and Sleep, 1 to 50 ms at a time.
    testing::Values(SliceCase{"HighResolutionTimer", false, "create timer due\\(-500000\\) wait (due\\(-[0-9]+\\) wait )+close "},
                    SliceCase{"SleepsBracketWhereTheFlagIsRefused", true,
                              "create timer\\(refused\\) throttling request (wait\\(([1-9]|[1-4][0-9]|50)\\) )+release "}),
#else
    // The PM QoS request is held for the whole timer wait.
    testing::Values(SliceCase{"PmQosRequestHeld", false, "create request hold_latency (wait\\([0-9]+\\) ){2,}drop_latency release "}),
#endif
    [](const testing::TestParamInfo<SliceCase> &info) { return info.param.name; });

TEST(Waituntil, CtrlCEndsTheWaitWithAnErrorAndNoAnswer) {
    const KeptLoaded kept;
    double flagged = 0;
    std::thread ctrl_c([&flagged] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        flagged = host_seconds();
        utSetInterruptPending(true);
    });
    Call call = call_mex("waituntil", 1, {seconds_text(host_seconds() + 5)});
    const double ended = host_seconds();
    ctrl_c.join();
    utSetInterruptPending(false);
    EXPECT_EQ(call.outcome.identifier, "MATLAB:waituntil:interrupted");
    EXPECT_EQ(call.outcome.message, "Interrupted before the deadline.");
    EXPECT_LT(ended - flagged, 1.0);
    // The bracket is closed before the error.
    const Events waits = waits_of(call.events);
    ASSERT_GE(waits.size(), 2u);
    EXPECT_TRUE(waits[waits.size() - 2] == "close" || waits[waits.size() - 2] == "release") << waits[waits.size() - 2];
}

#ifdef _WIN32
// Octave on Windows: no libut.dll, and Ctrl+C sets a flag that one of
// Octave's DLLs exports. The wait must end soon after; ended either by the
// interrupted error or, for Octave, with NaN and no error.
class WaituntilOctaveCtrlC : public testing::TestWithParam<const char *> {};

TEST_P(WaituntilOctaveCtrlC, EndsTheWaitSoonAfterTheFlag) {
    const KeptLoaded kept;
    const HMODULE octave = LoadLibraryW(MEXTIME_OCTAVE_FLAGS_DLL);
    ASSERT_NE(octave, nullptr) << GetLastError();
    auto *flag = reinterpret_cast<volatile int *>(reinterpret_cast<void *>(GetProcAddress(octave, GetParam())));
    ASSERT_NE(flag, nullptr);
    spy_hide_libut(true);
    double flagged = 0;
    std::thread ctrl_c([&flagged, flag] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        flagged = host_seconds();
        *flag = 1;
    });
    Call call = call_mex("waituntil", 1, {seconds_text(host_seconds() + 5)});
    const double ended = host_seconds();
    ctrl_c.join();
    *flag = 0;
    spy_hide_libut(false);
    FreeLibrary(octave);
    EXPECT_GT(ended, flagged);
    EXPECT_LT(ended - flagged, 1.0);
    if (call.outcome.raised)
        EXPECT_EQ(call.outcome.identifier, "MATLAB:waituntil:interrupted");
    else
        EXPECT_TRUE(std::isnan(scalar_of(call.outcome.outputs[0])));
}

INSTANTIATE_TEST_SUITE_P(Waituntil, WaituntilOctaveCtrlC, testing::Values("octave_interrupt_state"),
                         [](const testing::TestParamInfo<const char *> &info) { return std::string(info.param); });
#endif

// The spin the call used: the platform's default until a wake-up is
// recorded, then 1.5 times the worst of the recent ones, within bounds;
// after a calm second, the default again. The timer's deadline is exactly
// t - spin.
struct SpinCase {
    const char *name;
    std::vector<long long> late_ns;  // the spy's timer in the calls before
    double idle;                     // s between those calls and the one measured
    double spin;
};

void PrintTo(const SpinCase &c, std::ostream *os) { *os << c.name; }

class WaituntilSpin : public testing::TestWithParam<SpinCase> {};

TEST_P(WaituntilSpin, FollowsTheRecordWithinItsBounds) {
    const SpinCase &c = GetParam();
    const KeptLoaded kept;
    for (long long late : c.late_ns) {
        spy_time_timer(late);
        call_mex("waituntil", 1, {seconds_text(host_seconds() + kAhead)});
        spy_time_timer(-1);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(c.idle));
    const double t = host_seconds() + 2 * kAhead;
    Call call = call_mex("waituntil", 2, {seconds_text(t)});
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_DOUBLE_EQ(scalar_of(call.outcome.outputs[1]), c.spin);
    EXPECT_NEAR(spy_last_deadline(), t - c.spin, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilSpin,
    testing::Values(SpinCase{"StartsAtTheDefault", {}, 0, kDefaultSpin},
                    SpinCase{"NoLessWhenTheTimerIsPrompt", {0}, 0, kLeastSpin},
                    SpinCase{"OneAndAHalfTheLatest", {100000}, 0, 1.5 * 100e-6},
                    SpinCase{"TheWorstOfTheRecentOnes", {100000, 0}, 0, 1.5 * 100e-6},
                    SpinCase{"NoMoreWhenTheTimerIsLate", {2000000}, 0, kDefaultSpin},
                    SpinCase{"DefaultAgainAfterACalmSecond", {0}, 1.1, kDefaultSpin}),
    [](const testing::TestParamInfo<SpinCase> &info) { return info.param.name; });


}  // namespace
