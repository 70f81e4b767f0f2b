// rtboost, rtrestore and rtstatus's operations on macOS, against the
// stand-in Mach calls and nice value.
#include "mach_standin.h"
#include "priority.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <unistd.h>
#include <string>

namespace {

using namespace standin;
using Constraint = std::vector<std::uint32_t>;  // period, computation, constraint, preemptible

// A 1 ms loop's thread: a period of 1 ms, half of it to compute, all done
// within the period, preemptible; in the kernel's ticks, 24000 to the
// millisecond on Apple silicon (in nanoseconds: a 42 ms period).
const Constraint kLoop{24000, 12000, 24000, 1};
const Constraint kAudio{48000, 2400, 4800, 0};  // an audio thread's own

mextime::Status status() {
    mextime::Status s{};
    mextime::read_status(s);
    return s;
}

struct Start {
    const char *name;
    int nice;
    bool root, audio, refused;  // refused: in a work interval that refuses real time
    standin::Qos qos;
    bool workqueue;
    bool process, thread;  // what each raise says it obtained
    // The thread's class once raised, and once given back.
    standin::Qos raised, restored;
    // The time constraint asked for, on a Mac of this timebase, translated
    // or not (-1: an Intel Mac, where the name does not exist).
    Constraint asked = kLoop;
    mach_timebase_info_data_t native = {125, 3};
    int translated = 0;
};

void PrintTo(const Start &s, std::ostream *os) { *os << s.name; }

class DarwinStanding : public testing::TestWithParam<Start> {};

// rtboost: nice -20 for root's process (anyone else keeps the nice value
// they have, silently), and the thread under the time constraint, unless
// it has one of its own; each raise says what it obtained, which rtboost
// warns of when it is nothing, and rtstatus reports both. A refused time
// constraint leaves the thread's class and policy as they were. old =
// rtboost() ... rtrestore(old) gives back exactly what the process and
// thread had, the QoS class too, where macOS lets the thread have it back.
// The time constraint is in the kernel's own ticks, with values macOS 12
// and later take as they are (a computation of at least half the
// constraint, 50 us to 50 ms). Under Rosetta (maci64 MATLAB on Apple
// silicon) mach_timebase_info answers an Intel Mac's nanosecond while the
// kernel still counts 24 MHz ticks: nanoseconds there would make a 42 ms
// period.
TEST_P(DarwinStanding, RaisesAndRoundTripsThroughTheHost) {
    const Start &start = GetParam();
    mac.nice = start.nice;
    mac.root = start.root;
    mac.realtime_refused = start.refused;
    mac.set_qos(start.qos);
    mac.workqueue = start.workqueue;
    mac.timebase = start.native;
    mac.translated = start.translated;
    if (start.audio) mac.constraint = kAudio;
    mextime::Standing old{};
    ASSERT_TRUE(mextime::read_standing(old));
    EXPECT_EQ(mextime::raise_process(), start.process);
    EXPECT_EQ(mextime::raise_calling_thread(), start.thread);
    const int raised = start.root ? -20 : start.nice;
    EXPECT_EQ(mac.nice, raised);
    EXPECT_EQ(mac.constraint, start.audio ? kAudio : start.thread ? start.asked : Constraint{});
    EXPECT_FALSE(mac.computation_raised);
    EXPECT_EQ(mac.qos, start.raised);
    const mextime::Status s = status();
    EXPECT_EQ(s.realtime, start.thread);
    EXPECT_EQ(s.process, "nice " + std::to_string(raised));
    EXPECT_STREQ(s.thread, start.thread ? "time constraint" : "normal");
    // As the host hands it back: doubles in a row vector.
    const std::vector<double> answer(old.fields, old.fields + old.count);
    mextime::Standing back{};
    ASSERT_TRUE(mextime::accept_standing(answer.data(), answer.size(), back));
    mextime::restore_process(back);
    mextime::restore_calling_thread(back);
    EXPECT_EQ(mac.nice, start.nice);
    EXPECT_EQ(mac.constraint, start.audio ? kAudio : Constraint{});
    EXPECT_EQ(mac.qos, start.restored);
}

INSTANTIATE_TEST_SUITE_P(
    Darwin, DarwinStanding,
    testing::Values(Start{"OrdinaryAccount", 0, false, false, false, kNone, false, false, true, kNone, kNone},
                    Start{"RootAtNice5", 5, true, false, false, kNone, false, true, true, kNone, kNone},
                    Start{"AlreadyAtNiceMinus5", -5, false, false, false, kNone, false, true, true, kNone, kNone},
                    Start{"AudioThread", 0, false, true, false, kNone, false, false, true, kNone, kNone},
                    Start{"RootsAudioThread", -5, true, true, false, kNone, false, true, true, kNone, kNone},
                    // A plain thread's class goes with the time constraint
                    // for good: macOS refuses it back (EPERM).
                    Start{"UserInteractiveThread", 0, false, false, false, kInteractive, false, false, true, kNone,
                          kNone},
                    // One of dispatch's threads is given it back at once.
                    Start{"DispatchThread", 0, false, false, false, kInitiated, true, false, true, kInitiated,
                          kInitiated},
                    Start{"RealTimeRefused", 0, false, false, true, kInteractive, false, false, false, kInteractive,
                          kInteractive},
                    Start{"RootRefusedRealTime", 0, true, false, true, kInteractive, false, true, false,
                          kInteractive, kInteractive},
                    Start{"IntelMac", 0, false, false, false, kNone, false, false, true, kNone, kNone,
                          {1000000, 500000, 1000000, 1}, {1, 1}, -1},
                    Start{"Rosetta", 0, false, false, false, kNone, false, false, true, kNone, kNone, kLoop, {125, 3},
                          1}),
    [](const testing::TestParamInfo<Start> &info) { return info.param.name; });

// rtstatus on a Mac: the thread's policy as it runs, and the fourth answer:
// the policy in effect, the class, the tier the waits' bracket obtains
// (found as it finds it, and given back), the UTC clock's step, the
// timebase as translated code sees it, Rosetta. A time-constraint thread
// that the kernel's fail-safe demoted (after running long without
// blocking) runs under timeshare for a while, though thread_policy_get
// still answers its time constraint.
struct Platform {
    const char *name;
    standin::Qos qos;
    int latency_tier, translated;
    long realtime_resolution;
    bool time_constraint, demoted;
    const char *thread;  // the third answer
    const char *fields;  // each "name=value" that must be among the fourth's
};

void PrintTo(const Platform &p, std::ostream *os) { *os << p.name; }

class DarwinStatus : public testing::TestWithParam<Platform> {};

TEST_P(DarwinStatus, TellsThePolicyInEffectAndWhatIsGranted) {
    const Platform &p = GetParam();
    mac.set_qos(p.qos);
    mac.latency_tier = p.latency_tier;
    mac.translated = p.translated;
    mac.realtime_resolution = p.realtime_resolution;
    if (p.time_constraint) mac.constraint = kLoop;
    mac.demoted = p.demoted;
    mextime::Status s = status();
    EXPECT_EQ(s.realtime, std::string(p.thread) == "time constraint");
    EXPECT_STREQ(s.thread, p.thread);
    mextime::read_platform(s);
    const std::string text = std::string("; ") + s.platform + ";";
    std::istringstream fields(std::string(p.fields) + (geteuid() == 0 ? " privileged=yes" : " privileged=no"));
    for (std::string field; fields >> field;)
        EXPECT_NE(text.find("; " + field + ";"), std::string::npos) << field << " in " << s.platform;
    // The probe leaves the thread as it found it.
    EXPECT_EQ(mac.qos, p.qos);
    EXPECT_EQ(mac.latency_tier, p.latency_tier);
}

INSTANTIATE_TEST_SUITE_P(
    Darwin, DarwinStatus,
    testing::Values(Platform{"PlainThread", kNone, LATENCY_QOS_TIER_3, 0, 1000, false, false, "normal",
                             "policy=timeshare qos_class=unspecified latency_tier=0 utc_resolution_ns=1000 "
                             "timebase=125/3 translated=no"},
                    Platform{"InitiatedUnderRosetta", kInitiated, LATENCY_QOS_TIER_UNSPECIFIED, 1, 1000, true, false,
                             "time constraint",
                             "policy=rr qos_class=user-initiated latency_tier=0 timebase=1/1 translated=yes"},
                    Platform{"IntelUnreadableClock", kInteractive, LATENCY_QOS_TIER_UNSPECIFIED, -1, 0, false, false,
                             "normal",
                             "qos_class=user-interactive latency_tier=0 utc_resolution_ns=unknown translated=no "
                             "timer_resolution_ms=n/a"},
                    Platform{"DemotedByTheFailSafe", kNone, LATENCY_QOS_TIER_UNSPECIFIED, 0, 1000, true, true,
                             "demoted to timeshare", "policy=timeshare"}),
    [](const testing::TestParamInfo<Platform> &info) { return info.param.name; });

// rtrestore(): timeshare for the thread, nice 0 for a process raised by
// any amount; a weaker nice value is the user's and stays, even where a
// stronger one would be granted. A thread that is ordinary already is left
// alone, and keeps its QoS class; a fixed-priority one is made timeshare.
TEST(DarwinPriority, RestoresTheOrdinaryStanding) {
    mac.root = true;
    mac.workqueue = true;
    mac.set_qos(kInitiated);
    mextime::raise_process();
    mextime::raise_calling_thread();
    mextime::restore_process();
    mextime::restore_calling_thread();
    EXPECT_EQ(mac.nice, 0);
    EXPECT_EQ(mac.constraint, Constraint{});
    EXPECT_EQ(mac.qos, kInitiated);
    const mextime::Status s = status();
    EXPECT_FALSE(s.realtime);
    EXPECT_STREQ(s.thread, "normal");
    mac.nice = 5;
    mextime::restore_process();
    EXPECT_EQ(mac.nice, 5);
    mac.nice = -1;  // the least raise
    mextime::restore_process();
    EXPECT_EQ(mac.nice, 0);
    mac.workqueue = false;
    mac.set_qos(kInteractive);
    mextime::restore_calling_thread();
    EXPECT_EQ(mac.qos, kInteractive);
    mac.fixed = true;
    mextime::restore_calling_thread();
    EXPECT_FALSE(mac.fixed);
}

// An old of the earlier layout, [3001, nice, on, period, computation,
// constraint, preemptible], is still taken: the nice value and the policy
// come back, and the thread's class stays as it is.
TEST(DarwinPriority, TakesBackAStandingOfTheEarlierLayout) {
    mac.root = true;
    mac.set_qos(kInteractive);
    mextime::Standing s{};
    const double raised[] = {3001, -5, 1, 24000, 12000, 24000, 1};
    ASSERT_TRUE(mextime::accept_standing(raised, 7, s));
    mextime::restore_process(s);
    mextime::restore_calling_thread(s);
    EXPECT_EQ(mac.nice, -5);
    EXPECT_EQ(mac.constraint, kLoop);
    // Off, the policy's fields are not read.
    const double ordinary[] = {3001, 0, 0, 24000, 12000, 24000, 1};
    ASSERT_TRUE(mextime::accept_standing(ordinary, 7, s));
    mextime::restore_process(s);
    mextime::restore_calling_thread(s);
    EXPECT_EQ(mac.nice, 0);
    EXPECT_EQ(mac.constraint, Constraint{});
}

// rtrestore refuses what rtboost could not have answered on a Mac, before
// anything changes: another platform's standing (Linux's marker), a wrong
// count, a value out of range or not whole, a class pthread does not name.
TEST(DarwinPriority, RefusesAStandingNotMadeHere) {
    mextime::Standing s{};
    const auto accepted = [&](std::size_t field, double value, std::size_t count = 8) {
        double v[8] = {3002, 0, 24000, 12000, 24000, 1, 0x21, 0};
        v[field] = value;
        return mextime::accept_standing(v, count, s);
    };
    EXPECT_TRUE(accepted(1, -20) && accepted(1, 20) && accepted(6, 0) && accepted(6, 0x09) && accepted(7, -15));
    EXPECT_FALSE(accepted(1, 0, 7));
    EXPECT_FALSE(accepted(0, 3001));
    for (const auto &[field, value] :
         {std::pair<std::size_t, double>{0, 2001}, {1, -21}, {1, 21}, {1, 0.5}, {2, -1}, {3, std::nan("")},
          {4, 4294967296.0}, {5, 2}, {6, 0x20}, {6, 0x22}, {7, 1}, {7, -16}})
        EXPECT_FALSE(accepted(field, value)) << field << ": " << value;
    double earlier[8] = {3001, 0, 1, 24000, 12000, 24000, 1, 0};
    EXPECT_FALSE(mextime::accept_standing(earlier, 8, s));
    earlier[2] = 2;
    EXPECT_FALSE(mextime::accept_standing(earlier, 7, s));
}

}  // namespace
