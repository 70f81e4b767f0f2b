#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>
#endif

namespace {

using mexhost::format_array;

#ifdef _WIN32
using Standing = std::pair<DWORD, int>;  // the process class, the thread level

Standing standing() { return {GetPriorityClass(GetCurrentProcess()), GetThreadPriority(GetCurrentThread())}; }

bool set_standing(const Standing &s) {
    return SetPriorityClass(GetCurrentProcess(), s.first) && SetThreadPriority(GetCurrentThread(), s.second);
}

long thread_id() { return GetCurrentThreadId(); }

const Standing kOrdinary{NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL};
const Standing kRaised{REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL};
// One setting for the whole process, then the calling thread's:
// REALTIME_PRIORITY_CLASS and THREAD_PRIORITY_TIME_CRITICAL.
Events settings() { return {"process_priority(0x100)", "thread_priority(15)"}; }
const char kOldRow[] = "create(1,3,0)";
#else
std::vector<pid_t> threads() {
    std::vector<pid_t> ids;
    for (const auto &task : std::filesystem::directory_iterator("/proc/self/task"))
        ids.push_back(std::stoi(task.path().filename().string()));
    return ids;
}

using Standing = std::tuple<int, int, int>;  // policy, priority, nice

Standing standing_of(pid_t tid) {
    sched_param param{};
    sched_getparam(tid, &param);
    return {sched_getscheduler(tid), param.sched_priority, getpriority(PRIO_PROCESS, tid)};
}

Standing standing() { return standing_of(gettid()); }

// Every thread at the given nice value, the calling thread under the policy.
bool set_standing(const Standing &s) {
    bool ok = true;
    for (pid_t tid : threads()) ok = setpriority(PRIO_PROCESS, tid, std::get<2>(s)) == 0 && ok;
    sched_param param{};
    param.sched_priority = std::get<1>(s);
    return pthread_setschedparam(pthread_self(), std::get<0>(s), &param) == 0 && ok;
}

long thread_id() { return gettid(); }

constexpr int kFifoReset = SCHED_FIFO | SCHED_RESET_ON_FORK;
const Standing kOrdinary{SCHED_OTHER, 0, 0};
// The calling thread after rtboost, where nothing is refused.
const Standing kRaised{kFifoReset, 80, -20};
// Linux raises every thread of the process in turn, then the calling thread.
Events settings() {
    Events events(threads().size(), "process_priority");
    events.push_back("thread_priority");
    return events;
}
const char kOldRow[] = "create(1,6,0)";
#endif

// Each test starts from ordinary scheduling, whatever ctest was started
// with, and with a second thread running, parked until the test ends.
class Rtboost : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(set_standing(kOrdinary)) << "cannot reset scheduling";
        other_tid_ = park();
    }
    void TearDown() override {
        ended_.set_value();
        for (std::thread &thread : parked_) thread.join();
    }
    // Starts a thread that waits for the test's end; answers its id.
    long park() {
        std::promise<long> tid;
        std::future<long> found = tid.get_future();
        parked_.emplace_back([this](std::promise<long> id) { id.set_value(thread_id()); end_.wait(); }, std::move(tid));
        return found.get();
    }
    std::promise<void> ended_;
    std::shared_future<void> end_ = ended_.get_future().share();
    std::vector<std::thread> parked_;
    long other_tid_ = 0;
};

// Inputs are ignored, a bare call sets no output (the host would make it
// ans), and a second call makes the same settings. Asked for old, rtboost
// makes it, a row of the platform's count of fields, before it raises.
TEST_F(Rtboost, RaisesTheProcessAndTheCallingThreadWhateverTheInputs) {
    for (int nargout : {0, 1}) {
        Call call = call_mex("rtboost", nargout, {"5", "'abc'", "[]"});
        Events expected = settings();
        if (nargout) expected.insert(expected.begin(), {kOldRow, "getpr"});
        EXPECT_EQ(call.events, expected);
        EXPECT_FALSE(call.outcome.raised) << call.outcome.message;
        EXPECT_EQ(call.outcome.outputs[0] == nullptr, nargout == 0);
    }
    EXPECT_EQ(standing(), kRaised);
#ifdef _WIN32
    // rtrestore: NORMAL_PRIORITY_CLASS, then THREAD_PRIORITY_NORMAL.
    EXPECT_EQ(call_mex("rtrestore", 0, {}).events, (Events{"process_priority(0x20)", "thread_priority(0)"}));
    EXPECT_EQ(standing(), kOrdinary);
}
#else
    // The other thread gets the strongest ordinary standing, not real time.
    EXPECT_EQ(standing_of(other_tid_), (Standing{SCHED_OTHER, 0, -20}));
}

// rtboost takes the most a caller's limits (faked by the spy for a caller
// without CAP_SYS_NICE) permit, and lowers no thread; rtrestore gives back
// the ordinary policy and no negative nice value. Only the standing that
// results is checked: which calls were tried on the way is the code's own.
struct LimitCase : Row {
    const char *function;
    int rtprio_limit;  // -1: no limits, as root
    int nice_limit;
    Standing before;  // of the calling thread; every thread starts at its nice
    Standing after;   // of the calling thread; every other has its nice
    const char *old = nullptr;  // rtrestore's input, if any
};

class Priority : public Rtboost, public testing::WithParamInterface<LimitCase> {};

TEST_P(Priority, TakesTheBestPermittedAndGivesBackTheOrdinary) {
    const LimitCase &c = GetParam();
    ASSERT_TRUE(set_standing(c.before));
    spy_limit_priority(c.rtprio_limit, c.nice_limit);
    Call call = call_mex(c.function, 0, c.old ? std::vector<std::string>{c.old} : std::vector<std::string>{});
    spy_limit_priority(-1, -1);
    EXPECT_FALSE(call.outcome.raised);
    EXPECT_EQ(standing(), c.after);
    EXPECT_EQ(standing_of(other_tid_), (Standing{SCHED_OTHER, 0, std::get<2>(c.after)}));
}

// Refused real time, or a flag that cannot be dropped: the ordinary policy with the flag.
const Standing kOrdinaryReset{SCHED_OTHER | SCHED_RESET_ON_FORK, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Rtboost, Priority,
    testing::Values(
        // An audio group's limits: nice down to 20 - 30, real time up to 95,
        // of which 80 is taken; or up to 50, all taken.
        LimitCase{"LimitAboveTheLevel", "rtboost", 95, 30, kOrdinary, {kFifoReset, 80, -10}},
        LimitCase{"LimitBelowTheLevel", "rtboost", 50, 30, kOrdinary, {kFifoReset, 50, -10}},
        // Refused real time, what the thread starts still begins at nice 0.
        LimitCase{"NothingPermitted", "rtboost", 0, 0, kOrdinary, kOrdinaryReset},
        // Raised beyond the limits by an administrator: kept as it is.
        LimitCase{"AlreadyAboveTheLimits", "rtboost", 95, 30, {SCHED_FIFO, 97, -15}, {kFifoReset, 97, -15}},
        LimitCase{"RealTimeBetweenLimitAndLevel", "rtboost", 50, 30, {SCHED_FIFO, 60, -15}, {kFifoReset, 60, -15}},
        // Root, already above the level (chrt -r 90): policy and level kept.
        LimitCase{"RootAboveTheLevel", "rtboost", -1, -1, {SCHED_RR, 90, 0}, {SCHED_RR | SCHED_RESET_ON_FORK, 90, -20}},
        LimitCase{"RestoreAfterRaise", "rtrestore", -1, -1, kRaised, kOrdinary},
        LimitCase{"RestoreTheLeastRaise", "rtrestore", -1, -1, {SCHED_OTHER, 0, -1}, kOrdinary},
        // A positive nice value is the user's choice, and stays.
        LimitCase{"RestoreKeepsAPositiveNice", "rtrestore", -1, -1, {SCHED_OTHER, 0, 5}, {SCHED_OTHER, 0, 5}},
        // Without the privilege to drop the reset-on-fork flag, it stays,
        // also where the standing before had none.
        LimitCase{"RestoreUnprivileged", "rtrestore", 0, 0, kRaised, kOrdinaryReset},
        LimitCase{"RestoreOldUnprivileged", "rtrestore", 0, 0, kRaised, kOrdinaryReset, "[2001,0,0,0,0,0]"}),
    RowName());

// Other threads at different nice values: old holds the weakest, and every
// one comes back at it, none stronger than it was; one made weaker after the
// raise is the user's choice, and stays.
TEST_F(Rtboost, OldHoldsTheWeakestOtherThread) {
    const long third = park(), fourth = park();
    EXPECT_EQ(setpriority(PRIO_PROCESS, other_tid_, 9), 0);
    EXPECT_EQ(setpriority(PRIO_PROCESS, third, 4), 0);
    const std::string old = format_array(call_mex("rtboost", 1, {}).outcome.outputs[0]);
    EXPECT_EQ(old, "[2001,0,0,0,0,9]");
    ASSERT_EQ(setpriority(PRIO_PROCESS, fourth, 12), 0);
    EXPECT_FALSE(call_mex("rtrestore", 0, {old}).outcome.raised);
    for (long tid : {third, other_tid_}) EXPECT_EQ(standing_of(tid), (Standing{SCHED_OTHER, 0, 9}));
    EXPECT_EQ(standing_of(fourth), (Standing{SCHED_OTHER, 0, 12}));
}
#endif

// old = rtboost() answers the standing it found, and rtrestore(old) gives
// it back exactly, the calling thread's and the other threads'.
struct RoundTrip : Row {
    Standing before;  // of the calling thread
    int others_nice;  // Linux: of every other thread
    const char *old;
};

class GivesBack : public Rtboost, public testing::WithParamInterface<RoundTrip> {};

TEST_P(GivesBack, TheStandingBeforeTheRaise) {
    const RoundTrip &c = GetParam();
    ASSERT_TRUE(set_standing(c.before));
#ifndef _WIN32
    ASSERT_EQ(setpriority(PRIO_PROCESS, other_tid_, c.others_nice), 0);
#endif
    Call boost = call_mex("rtboost", 1, {});
    ASSERT_FALSE(boost.outcome.raised) << boost.outcome.message;
    EXPECT_EQ(format_array(boost.outcome.outputs[0]), c.old);
    EXPECT_NE(standing(), c.before);
    Call restore = call_mex("rtrestore", 0, {format_array(boost.outcome.outputs[0])});
    EXPECT_FALSE(restore.outcome.raised) << restore.outcome.message;
    EXPECT_EQ(standing(), c.before);
#ifndef _WIN32
    EXPECT_EQ(standing_of(other_tid_), (Standing{SCHED_OTHER, 0, c.others_nice}));
#endif
}

// The classes of old: 0x20 normal, 0x4000 below normal, 0x80 high, 0x40
// idle, 0x100 real time.
INSTANTIATE_TEST_SUITE_P(
    Rtrestore, GivesBack,
#ifdef _WIN32
    testing::Values(
        RoundTrip{"Normal", kOrdinary, 0, "[1001,32,0]"},
        RoundTrip{"BelowNormalLowest", {BELOW_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST}, 0, "[1001,16384,-2]"},
        RoundTrip{"HighHighest", {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST}, 0, "[1001,128,2]"},
        RoundTrip{"IdleIdle", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, 0, "[1001,64,-15]"},
        RoundTrip{"RealtimeLevelSix", {REALTIME_PRIORITY_CLASS, 6}, 0, "[1001,256,6]"}),
#else
    testing::Values(
        RoundTrip{"Ordinary", kOrdinary, 0, "[2001,0,0,0,0,0]"},
        RoundTrip{"LoweredBatch", {SCHED_BATCH, 0, 5}, 5, "[2001,3,0,0,5,5]"},
        RoundTrip{"IdleOthersApart", {SCHED_IDLE, 0, 3}, 7, "[2001,5,0,0,3,7]"},
        RoundTrip{"OthersStronger", {SCHED_OTHER, 0, 4}, -2, "[2001,0,0,0,4,-2]"},
        // chrt -r 90 and renice -5: kept by rtboost, which adds the flag.
        RoundTrip{"RaisedRoundRobin", {SCHED_RR, 90, -5}, 0, "[2001,2,0,90,-5,0]"},
        RoundTrip{"FifoWithTheFlag", {kFifoReset, 50, -20}, -20, "[2001,1,1,50,-20,-20]"}),
#endif
    RowName());

// An old that rtboost could not have answered here is refused before
// anything changes: the raise stays.
TEST_F(Rtboost, RefusesAnOldFromElsewhere) {
    ASSERT_TRUE(set_standing(kRaised));
    for (const char *old : {
#ifdef _WIN32
             // Linux's; another marker; short; long; no class, one between
             // two, one above all; a level above or below all, 7 in the
             // real-time class, 3 outside it; a fraction; NaN; sparse; complex.
             "[2001,0,0,0,0,0]", "[1002,32,0]", "[1001,32]", "[1001,32,0,0]", "[1001,0,0]", "[1001,48,0]",
             "[1001,65536,0]", "[1001,256,16]", "[1001,32,-16]", "[1001,256,7]", "[1001,32,3]",
             "[1001,32,0.5]", "[1001,NaN,0]", "sparse([1001,32,0])", "[1001,32,1i]"
#else
             // Windows'; another marker; short; long; a policy negative,
             // unused, SCHED_DEADLINE; a flag of 2; FIFO at 0 or above 99;
             // another policy with a priority; nice below -20 or above 19,
             // for the thread or the others; a fraction; NaN; sparse; complex.
             "[1001,32,0]", "[2002,0,0,0,0,0]", "[2001,0,0,0,0]", "[2001,0,0,0,0,0,0]", "[2001,-1,0,0,0,0]",
             "[2001,4,0,0,0,0]", "[2001,6,0,0,0,0]", "[2001,0,2,0,0,0]", "[2001,1,0,0,0,0]", "[2001,1,0,100,0,0]",
             "[2001,0,0,80,0,0]", "[2001,0,0,0,-21,0]", "[2001,0,0,0,20,0]", "[2001,0,0,0,0,-21]",
             "[2001,0,0,0,0,20]", "[2001,0,0,0,0.5,0]", "[2001,NaN,0,0,0,0]", "sparse([2001,0,0,0,0,0])",
             "[2001,0,0,0,0,1i]"
#endif
         }) {
        Call call = call_mex("rtrestore", 0, {old});
        EXPECT_EQ(call.outcome.identifier, "MATLAB:rtrestore:invalidInput") << old;
        EXPECT_EQ(named(call.events, {"process_priority", "thread_priority"}), Events{}) << old;
        EXPECT_EQ(standing(), kRaised) << old;
    }
}

struct StatusCase : Row {
    Standing standing;
    const char *realtime, *process, *thread;  // the answers, as the host writes them
    // The fourth answer's values that the row sets, as patterns; every other
    // value is "n/a" where this platform has none, any value where it has one.
    std::vector<std::pair<const char *, const char *>> platform;
    int rtprio_limit = -1, nice_limit = -1;  // the spy's limits (Linux); -1: none
    int refusals = 0;                        // what the spy refuses
    bool after_sleep = false;                // sleep's bracket has run in the process
};

// The names of the fourth answer, in the order help rtstatus gives them,
// and those this platform has.
const char *const kPlatformNames[] = {
    "timer_resolution_ms", "timer_resolution_range_ms", "high_resolution_timer", "power_throttling",
    "privileged", "policy", "rlimit_rtprio", "rlimit_nice", "timer_slack_ns", "latency_tier",
    "qos_class", "utc_resolution_ns", "timebase", "translated"};
#ifdef _WIN32
const std::vector<std::string> kPlatformHas{"timer_resolution_ms", "timer_resolution_range_ms",
                                            "high_resolution_timer", "power_throttling", "privileged"};
#else
const std::vector<std::string> kPlatformHas{"timer_resolution_ms", "privileged", "policy", "rlimit_rtprio",
                                            "rlimit_nice", "timer_slack_ns", "utc_resolution_ns"};
#endif

std::string platform_pattern(const StatusCase &c) {
    std::string pattern = "'";
    for (const char *name : kPlatformNames) {
        std::string value = "n/a";
        if (std::find(kPlatformHas.begin(), kPlatformHas.end(), name) != kPlatformHas.end()) value = "[^;=']+";
        for (const auto &row : c.platform)
            if (name == std::string(row.first)) value = row.second;
        pattern += std::string(pattern.size() > 1 ? "; " : "") + name + "=(?:" + value + ")";
    }
    return pattern + "'";
}

class Rtstatus : public Rtboost, public testing::WithParamInterface<StatusCase> {};

// The answers, compared with the system's view (the sweep checks what
// each count of outputs answers).
TEST_P(Rtstatus, NamesWhatTheProcessAndThreadHave) {
    const StatusCase &c = GetParam();
    ASSERT_TRUE(set_standing(c.standing));
#ifndef _WIN32
    // A slack of its own, which the fourth answer must tell.
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 70000UL), 0);
    spy_limit_priority(c.rtprio_limit, c.nice_limit);
#endif
    spy_refusals = c.refusals;
    if (c.after_sleep) call_mex("sleep", 0, {"1"});
    Call call = call_mex("rtstatus", 4, {});
    spy_refusals = 0;
#ifndef _WIN32
    spy_limit_priority(-1, -1);
#endif
    ASSERT_FALSE(call.outcome.raised) << call.outcome.message;
    const std::vector<const char *> answers{c.realtime, c.process, c.thread};
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(format_array(call.outcome.outputs[k]), answers[k]);
    const std::string platform = format_array(call.outcome.outputs[3]);
    EXPECT_TRUE(std::regex_match(platform, std::regex(platform_pattern(c)))) << platform << "\n" << platform_pattern(c);
    // The timer's step now lies between its finest and its coarsest.
    std::smatch steps;
    if (std::regex_search(platform, steps, std::regex("timer_resolution_ms=([0-9.]+); timer_resolution_range_ms=([0-9.]+)-([0-9.]+)"))) {
        EXPECT_TRUE(std::stod(steps[2]) <= std::stod(steps[1]) && std::stod(steps[1]) <= std::stod(steps[3])) << platform;
    }
}

// Asked for three answers or fewer, rtstatus reads nothing of the fourth:
// on Windows it would make a timer, on Linux read the waits' clock.
TEST_F(Rtboost, RtstatusReadsThePlatformOnlyWhenAsked) {
    const char *read = kWindows ? "timer" : "frequency";
    for (int nargout : {0, 3, 4}) {
        Call call = call_mex("rtstatus", nargout, {});
        EXPECT_EQ(named(call.events, {read}), nargout == 4 ? Events{read} : Events{}) << nargout;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rtstatus, Rtstatus,
#ifdef _WIN32
    // The timer's steps in ms to the ns; a timer of high resolution is made
    // and closed; the throttling opt-out is "default" until sleep has asked
    // for it, then "kept", where Windows tells.
    testing::Values(
        StatusCase{"Normal", kOrdinary, "logical(0)", "'normal'", "'normal'",
                   {{"timer_resolution_ms", "[0-9]+\\.[0-9]{6}"},
                    {"timer_resolution_range_ms", "[0-9]+\\.[0-9]{6}-[0-9]+\\.[0-9]{6}"},
                    {"high_resolution_timer", "yes"},
                    {"power_throttling", "default"},
                    {"privileged", "yes|no"}}},
        StatusCase{"AfterSleep", kOrdinary, "logical(0)", "'normal'", "'normal'", {{"power_throttling", "kept"}},
                   -1, -1, 0, true},
        StatusCase{"ThrottlingUntold", kOrdinary, "logical(0)", "'normal'", "'normal'",
                   {{"power_throttling", "unknown"}}, -1, -1, SPY_THROTTLING_READ, true},
        StatusCase{"NotAdministrator", kOrdinary, "logical(0)", "'normal'", "'normal'", {{"privileged", "no"}}, -1,
                   -1, SPY_ELEVATION},
        StatusCase{"AfterRtboost", kRaised, "logical(1)", "'realtime'", "'time critical'", {}},
        StatusCase{"High", {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST}, "logical(0)", "'high'", "'highest'", {}},
        StatusCase{"AboveNormal", {ABOVE_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_ABOVE_NORMAL}, "logical(0)",
                   "'above normal'", "'above normal'", {}},
        StatusCase{"BelowNormal", {BELOW_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_BELOW_NORMAL}, "logical(0)",
                   "'below normal'", "'below normal'", {}},
        StatusCase{"Idle", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST}, "logical(0)", "'idle'", "'lowest'", {}},
        StatusCase{"IdleThread", {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, "logical(0)", "'normal'", "'idle'", {}},
        // Levels -7 to 6 exist only in the real-time class, without a name.
        StatusCase{"RealtimeLevelSix", {REALTIME_PRIORITY_CLASS, 6}, "logical(1)", "'realtime'", "'6'", {}},
        StatusCase{"RealtimeLevelMinusSeven", {REALTIME_PRIORITY_CLASS, -7}, "logical(1)", "'realtime'", "'-7'", {}},
        // Before Windows 10 1803: no timer of high resolution.
        StatusCase{"NoHighResolutionTimer", kOrdinary, "logical(0)", "'normal'", "'normal'",
                   {{"high_resolution_timer", "no"}}, -1, -1, SPY_HIGH_RESOLUTION}),
#else
    // The ordinary standing and rtboost's: the Octave suite's, every thread.
    // The kernel's policy carries the reset-on-fork flag; the limits are
    // the spy's, for a caller without CAP_SYS_NICE.
    testing::Values(
        StatusCase{"RoundRobin", {SCHED_RR, 10, 5}, "logical(1)", "'nice 5'", "'rr 10'", {{"policy", "rr 10"}}},
        StatusCase{"Batch", {SCHED_BATCH, 0, 3}, "logical(0)", "'nice 3'", "'batch'",
                   {{"policy", "batch"}, {"timer_slack_ns", "70000"}}},
        StatusCase{"Idle", {SCHED_IDLE, 0, 0}, "logical(0)", "'nice 0'", "'idle'", {{"policy", "idle"}}},
        StatusCase{"FifoWithTheFlag", kRaised, "logical(1)", "'nice -20'", "'fifo 80'",
                   {{"policy", "fifo 80 reset-on-fork"}}},
        // Root, as the suite runs: no limit holds it back.
        StatusCase{"Privileged", kOrdinary, "logical(0)", "'nice 0'", "'other'",
                   {{"privileged", "yes"}, {"policy", "other"}, {"timer_slack_ns", "70000"},
                    {"timer_resolution_ms", "[0-9]+\\.[0-9]{6}"}, {"utc_resolution_ns", "[0-9]+"}}},
        StatusCase{"AudioGroupLimits", kOrdinary, "logical(0)", "'nice 0'", "'other'",
                   {{"privileged", "no"}, {"rlimit_rtprio", "95"}, {"rlimit_nice", "30"}}, 95, 30},
        StatusCase{"NoLimits", kOrdinary, "logical(0)", "'nice 0'", "'other'",
                   {{"privileged", "no"}, {"rlimit_rtprio", "0"}, {"rlimit_nice", "0"}}, 0, 0},
        StatusCase{"UnlimitedRtprio", kOrdinary, "logical(0)", "'nice 0'", "'other'",
                   {{"privileged", "no"}, {"rlimit_rtprio", "unlimited"}, {"rlimit_nice", "0"}}, SPY_UNLIMITED, 0},
        // The clock of the waits unreadable: its step is unknown, UTC's is not.
        StatusCase{"ClockUnreadable", kOrdinary, "logical(0)", "'nice 0'", "'other'",
                   {{"timer_resolution_ms", "unknown"}, {"utc_resolution_ns", "[0-9]+"}}, -1, -1, SPY_FREQUENCY}),
#endif
    RowName());

}  // namespace
