// rtboost, rtrestore and rtstatus's operations on macOS, against the
// stand-in Mach calls and a stand-in nice value.
#include "mach_standin.h"
#include "priority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Calls = std::vector<std::string>;

const char kRaisedThread[] =
    "thread_policy_set(time_constraint, period=24000, computation=12000, constraint=24000, preemptible=1)";

Calls only(const Calls &calls, const std::string &prefix) {
    Calls kept;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                 [&](const std::string &call) { return call.rfind(prefix, 0) == 0; });
    return kept;
}

mextime::Status status() {
    mextime::Status s{};
    mextime::read_status(s);
    return s;
}

class DarwinPriority : public testing::Test {
protected:
    void SetUp() override { standin::reset(); }
    void TearDown() override { standin::reset(); }
};

// A 1 ms loop's thread: a period of 1 ms, half of it to compute, all done
// within the period, preemptible; in mach_absolute_time's ticks, 24000 to
// the millisecond on Apple silicon and 1000000 on an Intel Mac. Values in
// nanoseconds on Apple silicon would ask for a 42 ms period.
TEST_F(DarwinPriority, PutsTheThreadUnderATimeConstraintFitForA1msLoop) {
    mextime::raise_calling_thread();
    EXPECT_EQ(only(standin::take_calls(), "thread_policy_set"), (Calls{kRaisedThread}));
    EXPECT_TRUE(standin::thread_policies().time_constraint);
    standin::reset();
    standin::set_timebase(1, 1);
    mextime::raise_calling_thread();
    EXPECT_EQ(only(standin::take_calls(), "thread_policy_set"),
              (Calls{"thread_policy_set(time_constraint, period=1000000, computation=500000, constraint=1000000, "
                     "preemptible=1)"}));
}

// An ordinary account: the process keeps its nice value, silently, and the
// thread still runs under the time constraint, which rtstatus reports.
TEST_F(DarwinPriority, AnOrdinaryAccountGetsTheThreadAlone) {
    mextime::raise_process();
    mextime::raise_calling_thread();
    EXPECT_EQ(standin::nice(), 0);
    const mextime::Status s = status();
    EXPECT_TRUE(s.realtime);
    EXPECT_STREQ(s.process, "nice 0");
    EXPECT_STREQ(s.thread, "time constraint");
}

TEST_F(DarwinPriority, RootGetsNiceMinus20Too) {
    standin::set_nice(0, true);
    mextime::raise_process();
    EXPECT_EQ(standin::nice(), -20);
    EXPECT_STREQ(status().process, "nice -20");
}

// A thread already under a time constraint (an audio thread's) keeps it.
TEST_F(DarwinPriority, KeepsATimeConstraintTheThreadHas) {
    thread_time_constraint_policy_data_t audio{48000, 2400, 4800, 0};
    ASSERT_EQ(thread_policy_set(pthread_mach_thread_np(pthread_self()), THREAD_TIME_CONSTRAINT_POLICY,
                                reinterpret_cast<thread_policy_t>(&audio), THREAD_TIME_CONSTRAINT_POLICY_COUNT),
              KERN_SUCCESS);
    standin::take_calls();
    mextime::raise_calling_thread();
    EXPECT_EQ(only(standin::take_calls(), "thread_policy_set"), Calls{});
    EXPECT_EQ(standin::thread_policies().constraint.period, 48000u);
}

// rtrestore(): timeshare for the thread, nice 0 for a raised process; a
// weaker nice value is the user's and stays.
TEST_F(DarwinPriority, RestoresTheOrdinaryStanding) {
    standin::set_nice(0, true);
    mextime::raise_process();
    mextime::raise_calling_thread();
    standin::set_nice(-20, false);
    mextime::restore_process();
    mextime::restore_calling_thread();
    EXPECT_EQ(standin::nice(), 0);
    EXPECT_FALSE(standin::thread_policies().time_constraint);
    const mextime::Status s = status();
    EXPECT_FALSE(s.realtime);
    EXPECT_STREQ(s.thread, "normal");
    // Even where a stronger one would be granted.
    standin::set_nice(5, true);
    mextime::restore_process();
    EXPECT_EQ(standin::nice(), 5);
}

struct Start {
    const char *name;
    int nice;
    bool audio;  // the thread under a time constraint of its own
};

void PrintTo(const Start &s, std::ostream *os) { *os << s.name; }

class DarwinStanding : public testing::TestWithParam<Start> {
protected:
    void SetUp() override { standin::reset(); }
    void TearDown() override { standin::reset(); }
};

// old = rtboost() ... rtrestore(old) gives back exactly what the process
// and thread had: the nice value, and the thread's policy with its values.
TEST_P(DarwinStanding, RoundTripsThroughTheHost) {
    const Start &start = GetParam();
    standin::set_nice(start.nice, true);
    thread_time_constraint_policy_data_t audio{48000, 2400, 4800, 0};
    if (start.audio)
        thread_policy_set(pthread_mach_thread_np(pthread_self()), THREAD_TIME_CONSTRAINT_POLICY,
                          reinterpret_cast<thread_policy_t>(&audio), THREAD_TIME_CONSTRAINT_POLICY_COUNT);
    mextime::Standing old{};
    ASSERT_TRUE(mextime::read_standing(old));
    ASSERT_EQ(old.count, 7u);
    EXPECT_EQ(old.fields[0], 3001);
    mextime::raise_process();
    mextime::raise_calling_thread();
    // As the host hands it back: doubles in a row vector.
    std::vector<double> answer(old.fields, old.fields + old.count);
    mextime::Standing back{};
    ASSERT_TRUE(mextime::accept_standing(answer.data(), answer.size(), back));
    mextime::restore_process(back);
    mextime::restore_calling_thread(back);
    EXPECT_EQ(standin::nice(), start.nice);
    const standin::ThreadPolicies p = standin::thread_policies();
    EXPECT_EQ(p.time_constraint, start.audio);
    if (start.audio) {
        EXPECT_EQ(p.constraint.period, audio.period);
        EXPECT_EQ(p.constraint.computation, audio.computation);
        EXPECT_EQ(p.constraint.constraint, audio.constraint);
        EXPECT_EQ(p.constraint.preemptible, audio.preemptible);
    }
}

INSTANTIATE_TEST_SUITE_P(Darwin, DarwinStanding,
                         testing::Values(Start{"Ordinary", 0, false}, Start{"Nice5", 5, false},
                                         Start{"AudioThread", -5, true}),
                         [](const testing::TestParamInfo<Start> &info) { return info.param.name; });

// rtrestore refuses what rtboost could not have answered on a Mac, before
// anything changes: another platform's standing, a wrong count, a value
// out of range or not whole.
TEST_F(DarwinPriority, RefusesAStandingNotMadeHere) {
    const double good[] = {3001, 0, 1, 24000, 12000, 24000, 1};
    mextime::Standing s{};
    EXPECT_TRUE(mextime::accept_standing(good, 7, s));
    EXPECT_FALSE(mextime::accept_standing(good, 6, s));
    auto refused = [&](std::size_t field, double value) {
        double bad[7];
        std::copy(good, good + 7, bad);
        bad[field] = value;
        return !mextime::accept_standing(bad, 7, s);
    };
    EXPECT_TRUE(refused(0, 2001));  // Linux's
    EXPECT_TRUE(refused(1, -21));
    EXPECT_TRUE(refused(1, 21));
    EXPECT_TRUE(refused(1, 0.5));
    EXPECT_TRUE(refused(2, 2));
    EXPECT_TRUE(refused(3, -1));
    EXPECT_TRUE(refused(4, std::nan("")));
    EXPECT_TRUE(refused(5, 4294967296.0));
    EXPECT_TRUE(refused(6, 2));
    EXPECT_FALSE(refused(1, 20));
    EXPECT_FALSE(refused(1, -20));
}

}  // namespace
