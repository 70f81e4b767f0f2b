#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <regex>
#include <thread>

namespace {

// How far ahead a deadline is set that must still be ahead when the call
// reads the clock. The tests keep the file loaded and make one call first,
// since loading it, or a first call under valgrind, can take longer.
constexpr double kAhead = kWindows ? 0.3 : 0.1;
constexpr double kDefaultSpin = kWindows ? 0.001 : 0.0005;
constexpr double kLeastSpin = 20e-6;

struct KeptLoaded {
    mexhost::Module module{mex_path("waituntil")};
    KeptLoaded() { call_mex("waituntil", 1, {"0"}); }
};

struct WaitCase : Row {
    double ahead;  // s after the host's reading; 0 or less is past
    const char *spin;
    bool waits;  // a platform wait is made
};

class WaituntilWait : public testing::TestWithParam<WaitCase> {};

TEST_P(WaituntilWait, ReturnsNoEarlierThanTheDeadlineAndAnswersWhenAndTheSpin) {
    const WaitCase &c = GetParam();
    const KeptLoaded kept;
    for (int nargout : {0, 1, 2}) {
        SCOPED_TRACE(nargout);
        const double t = host_seconds() + c.ahead;
        std::vector<std::string> args{c.ahead == -1e300 ? "-Inf" : seconds_text(t)};
        if (c.spin) args.push_back(c.spin);
        Call call = call_mex("waituntil", nargout, args);
        const double after = host_seconds();
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier << ": " << call.outcome.message;
        const double answer = scalar_of(call.outcome.outputs[0]);
        EXPECT_GE(answer, t);
        EXPECT_LE(answer, after);
        EXPECT_EQ(!named(call.events, {"wait"}).empty(), c.waits);
        if (nargout < 2) continue;
        // The spin given, or one within the learned spin's bounds.
        const double spin = scalar_of(call.outcome.outputs[1]);
        EXPECT_TRUE(c.spin ? spin == std::stod(c.spin) : spin >= kLeastSpin && spin <= kDefaultSpin) << spin;
    }
}

INSTANTIATE_TEST_SUITE_P(Waituntil, WaituntilWait,
                         testing::Values(WaitCase{"DefaultSpin", kAhead, nullptr, true},
                                         WaitCase{"NoSpin", kAhead, "0", true},
                                         WaitCase{"SpinLongerThanTheWait", kAhead, "1", false},
                                         WaitCase{"Past", -0.5, nullptr, false},
                                         WaitCase{"MinusInf", -1e300, nullptr, false}),
                         RowName());

// The whole timer wait with no spin: opened once, waited in slices of at
// most 50 ms (the interrupt poll), closed once, and nothing else, nothing
// left held. After the last slice, the reading that ends it and the one
// after the close: both already answer t or more, so none spins.
struct SliceCase : Row {
    int refused;        // what the spy makes the platform refuse
    const char *waits;  // the platform waits and brackets, each followed by a space
};

class WaituntilSlices : public testing::TestWithParam<SliceCase> {};

TEST_P(WaituntilSlices, WaitInsideOneBracket) {
    const SliceCase &c = GetParam();
    const KeptLoaded kept;
    const Held held = held_now();
    // Slices before the last 100 ms even where the call is slow to start
    // (valgrind on a loaded machine).
    const double t = host_seconds() + kAhead + 0.4;
    spy_refusals = c.refused;
    Call call = call_mex("waituntil", 1, {seconds_text(t), "0"});
    spy_refusals = 0;
    ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_GE(host_seconds(), t);
    EXPECT_EQ(held_now(), held);
    // The platform waits and their brackets; clock readings are left out.
    std::string waits;
    for (const std::string &event : named(call.events, {"create", "throttling", "request", "hold_latency", "timer",
                                                        "due", "wait", "close", "drop_latency", "release"}))
        waits += event + " ";
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
    // A timer that cannot be set is closed, and sleep's bracket takes over.
    testing::Values(SliceCase{"HighResolutionTimer", 0, "create timer due\\(-500000\\) wait (due\\(-[0-9]+\\) wait )+close "},
                    SliceCase{"SleepsBracketWhereTheFlagIsRefused", SPY_HIGH_RESOLUTION,
                              "create timer\\(refused\\) throttling request (wait\\(([1-9]|[1-4][0-9]|50)\\) )+release "},
                    SliceCase{"SleepsBracketWhereTheTimerCannotBeSet", SPY_TIMER_SET,
                              "create timer due\\(refused\\) close throttling request (wait\\(([1-9]|[1-4][0-9]|50)\\) )+release "}),
#else
    // The PM QoS request is held for the last slices only; refused, by its
    // open or its write, it is asked for once, and the wait goes on.
    testing::Values(SliceCase{"PmQosRequestForTheLastSlices", 0,
                              "create request (wait\\([0-9]+\\) )+hold_latency (wait\\([0-9]+\\) )+drop_latency release "},
                    SliceCase{"PmQosRequestRefused", SPY_LATENCY,
                              "create request (wait\\([0-9]+\\) )+hold_latency\\(open refused\\) (wait\\([0-9]+\\) )+release "},
                    SliceCase{"PmQosWriteRefused", SPY_LATENCY_WRITE,
                              "create request (wait\\([0-9]+\\) )+hold_latency\\(write refused\\) drop_latency (wait\\([0-9]+\\) )+release "}),
#endif
    RowName());

// Replayed wake-ups: the spy's timer wakes each wait late by the next value
// of a trace, on a virtual counter, so each call's miss (its answer later
// than t) and spin are exact, however slow the machine or its checker.
constexpr double kStall = 2000e-6;
constexpr double kPause = -1;  // in a trace: 1.5 s without a wait
// A call ends late when its answer is this far past t: the virtual counter
// moves on 1 us at each reading.
constexpr double kStep = 1e-6;
constexpr double kLate = 5 * kStep;

using Trace = std::vector<double>;  // s late

long long ticks_of(double seconds) { return std::llround(seconds / counter_seconds(1)); }

struct Replayed {
    std::vector<double> spins;
    int late = 0, late_after_pause = 0;
    double mean_spin() const { return std::accumulate(spins.begin(), spins.end(), 0.0) / spins.size(); }
};

Replayed replay(const Trace &trace, const char *spin = nullptr) {
    const KeptLoaded kept;
    spy_replay = {true, host_ticks(), ticks_of(kStep), {}, 0};
    for (double late : trace)
        if (late != kPause) spy_replay.late.push_back(ticks_of(late));
    Replayed r;
    bool paused = false;
    for (double late : trace) {
        if (late == kPause) {
            spy_replay.now += ticks_of(1.5);
            paused = true;
            continue;
        }
        const double t = counter_seconds(spy_replay.now) + 0.01;
        std::vector<std::string> args{seconds_text(t)};
        if (spin) args.push_back(spin);
        const Call call = call_mex("waituntil", 2, args);
        if (call.outcome.raised) break;
        r.spins.push_back(scalar_of(call.outcome.outputs[1]));
        const bool late_call = scalar_of(call.outcome.outputs[0]) - t > kLate;
        r.late += late_call;
        r.late_after_pause += paused && late_call;
        // The timer's deadline is t - spin (Windows rounds it up to 0.1 us).
        EXPECT_NEAR(spy_last_deadline, t - r.spins.back(), 1e-6);
    }
    spy_replay.on = false;
    EXPECT_EQ(r.spins.size(), spy_replay.late.size());
    return r;
}

// Deterministic traces: runs of equal wake-ups, {count, s late} each; and
// 1000 drawn with a seed, calm with a stall every 25, or with a heavy tail
// (3% of them 200 to 420 us late).
Trace runs(std::initializer_list<std::pair<int, double>> parts) {
    Trace t;
    for (const auto &part : parts) t.insert(t.end(), part.first, part.second);
    return t;
}

double uniform(unsigned &state) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
}

Trace drawn(unsigned state, bool calm) {
    Trace t;
    for (int i = 1; i <= 1000; ++i)
        t.push_back(calm ? (i % 25 == 0 ? kStall : 20e-6 + 20e-6 * uniform(state))
                         : uniform(state) < 0.03 ? 200e-6 + 220e-6 * uniform(state) : 20e-6 + 40e-6 * uniform(state));
    return t;
}

struct TraceCase : Row {
    Trace trace;
    double most_mean_spin;        // s
    double most_late_past_fixed;  // share of the calls, against a fixed spin
};

class WaituntilReplay : public testing::TestWithParam<TraceCase> {};

// Within the goals: cheap where the timer is calm, no later than the fixed
// default by more than 1% where it has a tail, and never late after a pause.
TEST_P(WaituntilReplay, LearnedSpinMeetsItsGoals) {
    const TraceCase &c = GetParam();
    const Replayed learned = replay(c.trace), fixed = replay(c.trace, seconds_text(kDefaultSpin).c_str());
    std::printf("%s: learned %d late, mean spin %.1f us; fixed %d late\n", c.name, learned.late,
                learned.mean_spin() * 1e6, fixed.late);
    EXPECT_LE(learned.mean_spin(), c.most_mean_spin);
    EXPECT_LE(learned.late, fixed.late + c.most_late_past_fixed * c.trace.size());
    EXPECT_EQ(learned.late_after_pause, 0);
}

INSTANTIATE_TEST_SUITE_P(Waituntil, WaituntilReplay,
                         testing::Values(TraceCase{"CalmWithStalls", drawn(1, true), 150e-6, 0},
                                         TraceCase{"HeavyTail", drawn(2, false), kDefaultSpin, 0.01},
                                         TraceCase{"HeavyTailAgain", drawn(5, false), kDefaultSpin, 0.01},
                                         TraceCase{"PauseThenLate", runs({{40, 30e-6}, {1, kPause}, {60, 300e-6}}),
                                                   kDefaultSpin, 0}),
                         RowName());

// The rule itself, on short traces: the spin of the call after them.
struct RuleCase : Row {
    Trace trace;
    double spin;
};

class WaituntilSpin : public testing::TestWithParam<RuleCase> {};

TEST_P(WaituntilSpin, FollowsTheRecordWithinItsBounds) {
    Trace trace = GetParam().trace;
    trace.push_back(0);
    // Each wake-up is recorded with the reading after the close: one step more.
    EXPECT_NEAR(replay(trace).spins.back(), GetParam().spin, 2 * kStep);
}

INSTANTIATE_TEST_SUITE_P(
    Waituntil, WaituntilSpin,
    testing::Values(RuleCase{"StartsAtTheDefault", {}, kDefaultSpin},
                    RuleCase{"NoLessWhenTheTimerIsPrompt", {0}, kLeastSpin},
                    RuleCase{"TwiceTheOnlyOne", {100e-6}, 2 * 101e-6},
                    RuleCase{"TwiceTheSecondLargest", {100e-6, 50e-6, 10e-6}, 2 * 51e-6},
                    RuleCase{"StallsLeftOut", {100e-6, 50e-6, 10e-6, kStall}, 2 * 51e-6},
                    RuleCase{"NoMoreThanTheDefault", {0.6 * kDefaultSpin, 0.6 * kDefaultSpin}, kDefaultSpin},
                    RuleCase{"DefaultAgainAfterACalmSecond", {0, kPause}, kDefaultSpin},
                    // 1.4 s of stalls: waits all the same, so no calm second.
                    RuleCase{"StallsAreNoCalm", runs({{3, 20e-6}, {120, kStall}}), 2 * 21e-6}),
    RowName());

// What each host's flag does to a wait of 2 s, set 0.3 s into it: MATLAB's
// Ctrl+C raises an error, the flag left for MATLAB; Octave's returns at once
// with NaN, its flag left for Octave to stop the script; another signal is
// handled by Octave's own check where there is one, and the wait goes on.
enum class Flag { MatlabCtrlC, OctaveCtrlC, OctaveSignal };

struct StopCase : Row {
    const char *function;
    Flag flag;
};

class HostStop : public testing::TestWithParam<StopCase> {};

TEST_P(HostStop, EndsTheWaitAsTheHostStops) {
    const StopCase &c = GetParam();
    const std::string function = c.function;
    const mexhost::Module kept(mex_path(function));
    // On Windows, Octave's flags are there only in an Octave.
    const SpyOctaveFlags octave =
        c.flag != Flag::MatlabCtrlC || !kWindows ? spy_octave_flags() : SpyOctaveFlags{nullptr, nullptr};
    ASSERT_TRUE((octave.interrupt && octave.signal) || c.flag == Flag::MatlabCtrlC);
    const double start = host_seconds();
    std::thread host([&c, octave] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (c.flag == Flag::OctaveCtrlC)
            *octave.interrupt = 1;
        else if (c.flag == Flag::OctaveSignal)
            octave.signal->caught = 1;
        else
            utSetInterruptPending(true);
    });
    const Call call =
        call_mex(function, 1, {function == "sleep" ? "2000" : function == "delay" ? "2" : seconds_text(start + 2)});
    const double took = host_seconds() - start;
    host.join();
    const bool matlab_pending = utSetInterruptPending(false);
    const int left = c.flag == Flag::OctaveCtrlC ? *octave.interrupt : c.flag == Flag::OctaveSignal ? octave.signal->caught : 0;
    if (octave.signal) {
        *octave.interrupt = 0;
        octave.signal->caught = 0;
        // Octave 9's signal flag is one byte: what follows it is another's.
        for (unsigned char byte : octave.signal->guard) EXPECT_EQ(byte, SPY_GUARD);
    }
    spy_refusals = 0;
    // Not before the host asked.
    EXPECT_GE(took, 0.3);
    if (c.flag == Flag::MatlabCtrlC) {
        EXPECT_EQ(call.outcome.identifier, "MATLAB:" + function + ":interrupted");
        EXPECT_EQ(call.outcome.message, "Interrupted before the deadline.");
        EXPECT_TRUE(matlab_pending);
        EXPECT_LT(took, 2);
    } else if (c.flag == Flag::OctaveCtrlC || kWindows) {
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        EXPECT_TRUE(std::isnan(scalar_of(call.outcome.outputs[0])) || function == "sleep");
        EXPECT_EQ(left, 1);
        EXPECT_LT(took, 2);
    } else {
        ASSERT_FALSE(call.outcome.raised) << call.outcome.identifier;
        EXPECT_GE(took, 2);
        EXPECT_EQ(named(call.events, {"handle_signal"}).size(), 1u);
        EXPECT_EQ(left, 0);
    }
    // Nothing left held: every bracket and timer opened was closed.
    for (auto pair : {std::make_pair("request", "release"), {"hold_latency", "drop_latency"}, {"timer", "close"}})
        EXPECT_EQ(named(call.events, {pair.first}).size(), named(call.events, {pair.second}).size()) << pair.first;
}

// sleep on Windows is one Sleep, which hears nothing.
INSTANTIATE_TEST_SUITE_P(
    Waits, HostStop,
    testing::Values(StopCase{"WaituntilMatlab", "waituntil", Flag::MatlabCtrlC},
                    StopCase{"WaituntilOctave", "waituntil", Flag::OctaveCtrlC},
                    StopCase{"WaituntilOctaveSignal", "waituntil", Flag::OctaveSignal},
                    StopCase{"DelayMatlab", "delay", Flag::MatlabCtrlC},
                    StopCase{"DelayOctave", "delay", Flag::OctaveCtrlC},
#ifndef _WIN32
                    StopCase{"SleepMatlab", "sleep", Flag::MatlabCtrlC},
                    StopCase{"SleepOctave", "sleep", Flag::OctaveCtrlC},
                    StopCase{"SleepOctaveSignal", "sleep", Flag::OctaveSignal},
#endif
                    StopCase{"DelayOctaveSignal", "delay", Flag::OctaveSignal}),
    RowName());

}  // namespace
