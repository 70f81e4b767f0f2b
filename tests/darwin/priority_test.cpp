// rtboost, rtrestore and rtstatus's operations on macOS, against the
// stand-in Mach calls and nice value.
#include "mach_standin.h"
#include "priority.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using standin::mac;
using Constraint = std::vector<std::uint32_t>;  // period, computation, constraint, preemptible

// A 1 ms loop's thread: a period of 1 ms, half of it to compute, all done
// within the period, preemptible; in mach_absolute_time's ticks, 24000 to
// the millisecond on Apple silicon (in nanoseconds: a 42 ms period).
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
    bool root, audio;
};

void PrintTo(const Start &s, std::ostream *os) { *os << s.name; }

class DarwinStanding : public testing::TestWithParam<Start> {};

// rtboost: nice -20 for root's process (anyone else keeps the nice value
// they have, silently), and the thread under the time constraint, unless
// it has one of its own; rtstatus reports both. old = rtboost() ...
// rtrestore(old) gives back exactly what the process and thread had.
TEST_P(DarwinStanding, RaisesAndRoundTripsThroughTheHost) {
    const Start &start = GetParam();
    mac.nice = start.nice;
    mac.root = start.root;
    if (start.audio) mac.constraint = kAudio;
    mextime::Standing old{};
    ASSERT_TRUE(mextime::read_standing(old));
    mextime::raise_process();
    mextime::raise_calling_thread();
    const int raised = start.root ? -20 : start.nice;
    EXPECT_EQ(mac.nice, raised);
    EXPECT_EQ(mac.constraint, start.audio ? kAudio : kLoop);
    const mextime::Status s = status();
    EXPECT_TRUE(s.realtime);
    EXPECT_EQ(s.process, "nice " + std::to_string(raised));
    EXPECT_STREQ(s.thread, "time constraint");
    // As the host hands it back: doubles in a row vector.
    const std::vector<double> answer(old.fields, old.fields + old.count);
    mextime::Standing back{};
    ASSERT_TRUE(mextime::accept_standing(answer.data(), answer.size(), back));
    mextime::restore_process(back);
    mextime::restore_calling_thread(back);
    EXPECT_EQ(mac.nice, start.nice);
    EXPECT_EQ(mac.constraint, start.audio ? kAudio : Constraint{});
}

INSTANTIATE_TEST_SUITE_P(Darwin, DarwinStanding,
                         testing::Values(Start{"OrdinaryAccount", 0, false, false}, Start{"RootAtNice5", 5, true, false},
                                         Start{"RootsAudioThread", -5, true, true}),
                         [](const testing::TestParamInfo<Start> &info) { return info.param.name; });

// On an Intel Mac a tick is a nanosecond.
TEST(DarwinPriority, CountsTheTimeConstraintInTicks) {
    mac.timebase = {1, 1};
    mextime::raise_calling_thread();
    EXPECT_EQ(mac.constraint, (Constraint{1000000, 500000, 1000000, 1}));
}

// rtrestore(): timeshare for the thread, nice 0 for a process raised by
// any amount; a weaker nice value is the user's and stays, even where a stronger one
// would be granted.
TEST(DarwinPriority, RestoresTheOrdinaryStanding) {
    mac.root = true;
    mextime::raise_process();
    mextime::raise_calling_thread();
    mextime::restore_process();
    mextime::restore_calling_thread();
    EXPECT_EQ(mac.nice, 0);
    EXPECT_EQ(mac.constraint, Constraint{});
    const mextime::Status s = status();
    EXPECT_FALSE(s.realtime);
    EXPECT_STREQ(s.thread, "normal");
    mac.nice = 5;
    mextime::restore_process();
    EXPECT_EQ(mac.nice, 5);
    mac.nice = -1;  // the least raise
    mextime::restore_process();
    EXPECT_EQ(mac.nice, 0);
}

// rtrestore refuses what rtboost could not have answered on a Mac, before
// anything changes: another platform's standing (Linux's marker), a wrong
// count, a value out of range or not whole.
TEST(DarwinPriority, RefusesAStandingNotMadeHere) {
    mextime::Standing s{};
    const auto accepted = [&](std::size_t field, double value, std::size_t count = 7) {
        double v[7] = {3001, 0, 1, 24000, 12000, 24000, 1};
        v[field] = value;
        return mextime::accept_standing(v, count, s);
    };
    EXPECT_TRUE(accepted(1, -20) && accepted(1, 20));
    EXPECT_FALSE(accepted(1, 0, 6));
    for (const auto &[field, value] : {std::pair<std::size_t, double>{0, 2001}, {1, -21}, {1, 21}, {1, 0.5},
                                       {2, 2}, {3, -1}, {4, std::nan("")}, {5, 4294967296.0}, {6, 2}})
        EXPECT_FALSE(accepted(field, value)) << field << ": " << value;
}

}  // namespace
