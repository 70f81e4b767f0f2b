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

// The account the spy stands in for: an administrator or root, or an
// ordinary one with these RLIMIT_RTPRIO and RLIMIT_NICE limits (Linux), or
// without the privilege to raise scheduling priority (Windows).
struct Account {
    int rtprio, nice;
};
const Account kRoot{-1, -1}, kOrdinaryAccount{0, 0};

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
const char kOrdinaryOld[] = "[1001,32,0]";
const char kNotGranted[] =
    "No higher priority was granted: Windows refused both a higher priority class (SetPriorityClass) "
    "and the time-critical thread level (SetThreadPriority); help rtboost says what grants them.";
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
// Refused real time, or a flag that cannot be dropped: the ordinary policy with the flag.
const Standing kOrdinaryReset{SCHED_OTHER | SCHED_RESET_ON_FORK, 0, 0};
// Linux raises the calling thread's nice value, then each other thread at
// the same value in turn, then the calling thread's policy.
Events settings() {
    Events events(threads().size(), "process_priority");
    events.push_back("thread_priority");
    return events;
}
const char kOldRow[] = "create(1,6,0)";
const char kOrdinaryOld[] = "[2002,0,0,0,0,0]";
const char kNotGranted[] =
    "No higher priority was granted: this account may take neither real-time scheduling (RLIMIT_RTPRIO) "
    "nor a negative nice value (RLIMIT_NICE); help rtboost says how to grant them.";
#endif

// Each test starts from ordinary scheduling, whatever ctest was started
// with, and with a second thread running, parked until the test ends; the
// spy's refusals and account, which act only during a call, end with it.
class Rtboost : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(set_standing(kOrdinary)) << "cannot reset scheduling";
        other_tid_ = park();
    }
    void TearDown() override {
        spy_limit_priority(-1, -1);
        spy_refusals = 0;
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
#ifndef _WIN32
    // The second thread and as many more as needed, each at its nice value.
    std::vector<long> others_at(const std::vector<int> &nice) {
        std::vector<long> ids;
        for (int value : nice) {
            ids.push_back(ids.empty() ? other_tid_ : park());
            EXPECT_EQ(setpriority(PRIO_PROCESS, ids.back(), value), 0);
        }
        return ids;
    }
    static std::vector<int> nice_of(const std::vector<long> &ids) {
        std::vector<int> nice;
        for (long tid : ids) {
            EXPECT_EQ(std::get<0>(standing_of(tid)), SCHED_OTHER) << tid;
            nice.push_back(std::get<2>(standing_of(tid)));
        }
        return nice;
    }
#endif
    std::promise<void> ended_;
    std::shared_future<void> end_ = ended_.get_future().share();
    std::vector<std::thread> parked_;
    long other_tid_ = 0;
};

// Inputs are ignored, a bare call sets no output (the host would make it
// ans), and each call makes the same settings (what they obtain, the
// GivesBack table checks). Asked for old, rtboost makes it, a row of the
// platform's count of fields, before it raises.
TEST_F(Rtboost, RaisesTheProcessAndTheCallingThreadWhateverTheInputs) {
    for (int nargout : {0, 1}) {
        ASSERT_TRUE(set_standing(kOrdinary));
        Call call = call_mex("rtboost", nargout, {"5", "'abc'", "[]"});
        Events expected = settings();
        if (nargout) expected.insert(expected.begin(), {kOldRow, "getpr"});
        EXPECT_EQ(call.events, expected);
        EXPECT_FALSE(call.outcome.raised) << call.outcome.message;
        EXPECT_EQ(call.outcome.outputs[0] == nullptr, nargout == 0);
    }
#ifdef _WIN32
    // rtrestore: NORMAL_PRIORITY_CLASS, then THREAD_PRIORITY_NORMAL.
    EXPECT_EQ(call_mex("rtrestore", 0, {}).events, (Events{"process_priority(0x20)", "thread_priority(0)"}));
    EXPECT_EQ(standing(), kOrdinary);
}
#else
}

// Between the raise and the restore: a thread the calling thread starts
// begins ordinary and stays so; one started by a raised thread (at its nice
// value) comes back with them; one made weaker since is the user's choice,
// and stays.
TEST_F(Rtboost, ThreadsThatChangeBetweenTheRaiseAndTheRestore) {
    const long weakened = park();
    const std::string old = format_array(call_mex("rtboost", 1, {}).outcome.outputs[0]);
    const long started = park(), inherited = park();
    EXPECT_EQ(standing_of(started), kOrdinary);
    ASSERT_EQ(setpriority(PRIO_PROCESS, inherited, -20), 0);
    ASSERT_EQ(setpriority(PRIO_PROCESS, weakened, 12), 0);
    EXPECT_FALSE(call_mex("rtrestore", 0, {old}).outcome.raised);
    EXPECT_EQ(standing(), kOrdinary);
    EXPECT_EQ(nice_of({other_tid_, weakened, started, inherited}), (std::vector<int>{0, 12, 0, 0}));
}
#endif

// old = rtboost() answers the standing it found, and rtrestore(old) gives
// it back exactly, the calling thread's and the other threads', from every
// standing the platform can report.
struct RoundTrip : Row {
    Standing before;          // of the calling thread
    const char *old;
    Standing raised;          // of the calling thread, by rtboost
    std::vector<int> others = {};  // Linux: the nice value of each other thread
    std::vector<int> others_raised = {};
    Account account = kRoot;
};

class GivesBack : public Rtboost, public testing::WithParamInterface<RoundTrip> {};

TEST_P(GivesBack, TheStandingBeforeTheRaise) {
    const RoundTrip &c = GetParam();
    ASSERT_TRUE(set_standing(c.before));
#ifndef _WIN32
    const std::vector<long> others = others_at(c.others);
#endif
    spy_limit_priority(c.account.rtprio, c.account.nice);
    Call boost = call_mex("rtboost", 1, {});
    ASSERT_FALSE(boost.outcome.raised) << boost.outcome.message;
    const std::string old = format_array(boost.outcome.outputs[0]);
    EXPECT_EQ(old, c.old);
    EXPECT_EQ(standing(), c.raised);
#ifndef _WIN32
    EXPECT_EQ(nice_of(others), c.others_raised);
#endif
    Call restore = call_mex("rtrestore", 0, {old});
    EXPECT_FALSE(restore.outcome.raised) << restore.outcome.message;
    EXPECT_EQ(standing(), c.before);
#ifndef _WIN32
    EXPECT_EQ(nice_of(others), c.others);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Rtrestore, GivesBack,
#ifdef _WIN32
    // The classes of old: 0x40 idle, 0x4000 below normal, 0x20 normal,
    // 0x8000 above normal, 0x80 high, 0x100 real time; the levels -15 idle,
    // -2 lowest, -1 below normal, 0 normal, 1 above normal, 2 highest, 15
    // time critical, and -7 to 6 in the real-time class alone.
    testing::Values(
        RoundTrip{"IdleIdle", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, "[1001,64,-15]", kRaised},
        RoundTrip{"IdleTimeCritical", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, "[1001,64,15]", kRaised},
        RoundTrip{"BelowNormalLowest", {BELOW_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST}, "[1001,16384,-2]",
                  kRaised},
        RoundTrip{"NormalBelowNormal", {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_BELOW_NORMAL}, "[1001,32,-1]", kRaised},
        RoundTrip{"Normal", kOrdinary, "[1001,32,0]", kRaised},
        RoundTrip{"NormalTimeCritical", {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, "[1001,32,15]",
                  kRaised},
        RoundTrip{"AboveNormalAboveNormal", {ABOVE_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_ABOVE_NORMAL},
                  "[1001,32768,1]", kRaised},
        RoundTrip{"HighHighest", {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST}, "[1001,128,2]", kRaised},
        RoundTrip{"HighTimeCritical", {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, "[1001,128,15]", kRaised},
        RoundTrip{"RealtimeIdle", {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, "[1001,256,-15]", kRaised},
        RoundTrip{"RealtimeLevelMinusSeven", {REALTIME_PRIORITY_CLASS, -7}, "[1001,256,-7]", kRaised},
        RoundTrip{"RealtimeLevelSix", {REALTIME_PRIORITY_CLASS, 6}, "[1001,256,6]", kRaised},
        // Already there: rtboost changes nothing, and rtrestore neither.
        RoundTrip{"RealtimeTimeCritical", kRaised, "[1001,256,15]", kRaised},
        // An account without the privilege gets the high class; one in the
        // real-time class (started so by an administrator) keeps it.
        RoundTrip{"OrdinaryAccountNormal", kOrdinary, "[1001,32,0]",
                  {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, {}, {}, kOrdinaryAccount},
        RoundTrip{"OrdinaryAccountIdleIdle", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, "[1001,64,-15]",
                  {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, {}, {}, kOrdinaryAccount},
        RoundTrip{"OrdinaryAccountRealtimeLevelSix", {REALTIME_PRIORITY_CLASS, 6}, "[1001,256,6]", kRaised, {}, {},
                  kOrdinaryAccount}),
#else
    // The policies of old: 0 other, 1 fifo, 2 rr, 3 batch, 5 idle; its last
    // field sums 2^(20 + nice) over the stronger nice values of other threads.
    testing::Values(
        RoundTrip{"Ordinary", kOrdinary, "[2002,0,0,0,0,0]", kRaised, {0}, {-20}},
        RoundTrip{"OrdinaryWithTheFlag", kOrdinaryReset, "[2002,0,1,0,0,0]", kRaised, {0}, {-20}},
        RoundTrip{"NegativeNice", {SCHED_OTHER, 0, -7}, "[2002,0,0,0,-7,0]", kRaised, {-7}, {-20}},
        RoundTrip{"LoweredBatch", {SCHED_BATCH, 0, 5}, "[2002,3,0,0,5,0]", kRaised, {5}, {-20}},
        RoundTrip{"WeakestIdle", {SCHED_IDLE, 0, 19}, "[2002,5,0,0,19,0]", kRaised, {19}, {-20}},
        // A thread weaker than the calling thread is left as it is.
        RoundTrip{"IdleOthersWeaker", {SCHED_IDLE, 0, 3}, "[2002,5,0,0,3,0]", kRaised, {7}, {7}},
        // One stronger too; its value is noted in old.
        RoundTrip{"OthersStronger", {SCHED_OTHER, 0, 4}, "[2002,0,0,0,4,262144]", kRaised, {-2}, {-2}},
        // The host's helpers at 10, 0, 0 and 5: those that shared the
        // calling thread's value are raised with it, and all come back.
        RoundTrip{"MixedNice", kOrdinary, "[2002,0,0,0,0,0]", kRaised, {10, 0, 0, 5}, {10, -20, -20, 5}},
        // One already at -20 keeps it; those raised take -19, so that
        // rtrestore can tell them from it.
        RoundTrip{"OneAlreadyAtTheRaise", kOrdinary, "[2002,0,0,0,0,1]", kRaised, {-20, 0}, {-20, -19}},
        // chrt -r 90 and renice -5: kept by rtboost, which adds the flag.
        RoundTrip{"RaisedRoundRobin", {SCHED_RR, 90, -5}, "[2002,2,0,90,-5,0]",
                  {SCHED_RR | SCHED_RESET_ON_FORK, 90, -20}, {-5}, {-20}},
        RoundTrip{"FifoBelowTheLevel", {SCHED_FIFO, 10, 0}, "[2002,1,0,10,0,0]", kRaised, {0}, {-20}},
        RoundTrip{"FifoWithTheFlag", {kFifoReset, 50, -20}, "[2002,1,1,50,-20,0]", kRaised, {-20}, {-20}},
        // An audio group's limits (nice down to -10, real time up to 95),
        // with the flag already: one at -10 keeps it, the others take -9;
        // and where every value between is taken, the others stay.
        RoundTrip{"OrdinaryAccount", kOrdinaryReset, "[2002,0,1,0,0,1024]", {kFifoReset, 80, -10}, {-10, 0},
                  {-10, -9}, {95, 30}},
        RoundTrip{"OrdinaryAccountNoRoom", kOrdinaryReset, "[2002,0,1,0,0,524288]", {kFifoReset, 80, -1}, {-1, 0},
                  {-1, 0}, {95, 21}}),
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
             "[2002,0,0,0,0,0]", "[1002,32,0]", "[1001,32]", "[1001,32,0,0]", "[1001,0,0]", "[1001,48,0]",
             "[1001,65536,0]", "[1001,256,16]", "[1001,32,-16]", "[1001,256,7]", "[1001,32,3]",
             "[1001,32,0.5]", "[1001,NaN,0]", "sparse([1001,32,0])", "[1001,32,1i]"
#else
             // Windows'; other markers; short; long; a policy negative,
             // unused, SCHED_DEADLINE; a flag of 2; FIFO at 0 or above 99;
             // another policy with a priority; nice below -20 or above 19;
             // stronger values that are none (negative, a fraction) or not
             // stronger (nice 0 itself, or 19 for a thread at -20); the
             // earlier layout's last nice value out of range; a fraction;
             // NaN; sparse; complex.
             "[1001,32,0]", "[2003,0,0,0,0,0]", "[2000,0,0,0,0,0]", "[2002,0,0,0,0]", "[2002,0,0,0,0,0,0]",
             "[2002,-1,0,0,0,0]", "[2002,4,0,0,0,0]", "[2002,6,0,0,0,0]", "[2002,0,2,0,0,0]", "[2002,1,0,0,0,0]",
             "[2002,1,0,100,0,0]", "[2002,0,0,80,0,0]", "[2002,0,0,0,-21,0]", "[2002,0,0,0,20,0]",
             "[2002,0,0,0,0,-1]", "[2002,0,0,0,0,0.5]", "[2002,0,0,0,0,1048576]", "[2002,0,0,0,-20,1]",
             "[2002,0,0,0,-20,549755813888]", "[2001,0,0,0,0,-21]", "[2001,0,0,0,0,20]", "[2002,0,0,0,0.5,0]",
             "[2002,NaN,0,0,0,0]", "sparse([2002,0,0,0,0,0])", "[2002,0,0,0,0,1i]"
#endif
         }) {
        Call call = call_mex("rtrestore", 0, {old});
        EXPECT_EQ(call.outcome.identifier, "MATLAB:rtrestore:invalidInput") << old;
        EXPECT_EQ(named(call.events, {"process_priority", "thread_priority"}), Events{}) << old;
        EXPECT_EQ(standing(), kRaised) << old;
    }
}

// What the script sees of what the system grants and refuses (an error,
// the warning, the standing after): rtboost takes the most a caller's
// limits permit (faked by the spy for a caller without CAP_SYS_NICE, or
// without the privilege on Windows), lowers no thread, and warns where it
// obtained nothing; rtrestore gives back the ordinary standing, or old's.
// Then every platform call whose failure the code handles, refused:
// rtboost's steps go on alone, rtrestore gives back what it still can,
// and on Linux the call holds no descriptor afterwards (on Windows the
// calls take the pseudo-handles of the process and the thread, and open
// none). Only the standing that results is checked: which calls were tried
// on the way is the code's own.
constexpr int kAsTheCaller = 100;

struct PriorityCase : Row {
    const char *function;
    Account account;
    int refused;      // what the spy makes the platform refuse
    Standing before;  // of the calling thread; every thread starts at its nice value
    Standing after;   // of the calling thread
    const char *old = nullptr;  // rtrestore's input, if any; rtboost's, kAsked when asked for
    bool warns = false;
    int others = kAsTheCaller;  // Linux: the other thread's nice value after
};

const char kAsked[] = "asked";

class Priority : public Rtboost, public testing::WithParamInterface<PriorityCase> {};

TEST_P(Priority, TellsTheScriptWhatItObtainedAndHoldsNothing) {
    const PriorityCase &c = GetParam();
    ASSERT_TRUE(set_standing(c.before));
    const long descriptors = held_now().descriptors;
    spy_limit_priority(c.account.rtprio, c.account.nice);
    spy_refusals = c.refused;
    const bool boost = c.function == std::string("rtboost");
    std::vector<std::string> args;
    if (c.old && !boost) args.push_back(c.old);
    Call call = call_mex(c.function, boost && c.old ? 1 : 0, args);
    EXPECT_FALSE(call.outcome.raised) << call.outcome.identifier;
    EXPECT_EQ(named(call.events, {"warning"}), c.warns ? Events{"warning(MATLAB:rtboost:notGranted)"} : Events{});
    EXPECT_STREQ(spy_last_warning, c.warns ? kNotGranted : "");
    EXPECT_EQ(standing(), c.after);
#ifndef _WIN32
    const int others = c.others == kAsTheCaller ? std::get<2>(c.after) : c.others;
    EXPECT_EQ(standing_of(other_tid_), (Standing{SCHED_OTHER, 0, others}));
#endif
    EXPECT_EQ(held_now().descriptors, descriptors);
}

INSTANTIATE_TEST_SUITE_P(
    Rtboost, Priority,
#ifdef _WIN32
    testing::Values(
        // Unread, a raise the system granted is taken at its word, also
        // where the other step was refused.
        PriorityCase{"BoostClassUnreadable", "rtboost", kRoot, SPY_PROCESS_READ | SPY_THREAD_SET, kOrdinary,
                     {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}},
        PriorityCase{"BoostLevelUnreadable", "rtboost", kRoot, SPY_PRIORITY_READ | SPY_PROCESS_SET, kOrdinary,
                     {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}},
        // A job object that holds the class: the level alone still helps.
        PriorityCase{"BoostClassRefused", "rtboost", kRoot, SPY_PROCESS_SET, kOrdinary,
                     {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}},
        PriorityCase{"BoostLevelRefused", "rtboost", kRoot, SPY_THREAD_SET, kOrdinary,
                     {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}},
        PriorityCase{"BoostBothRefused", "rtboost", kRoot, SPY_PROCESS_SET | SPY_THREAD_SET, kOrdinary, kOrdinary,
                     kAsked, true},
        PriorityCase{"BoostBothRefusedLevelUnreadable", "rtboost", kRoot,
                     SPY_PROCESS_SET | SPY_THREAD_SET | SPY_PRIORITY_READ, kOrdinary, kOrdinary, nullptr, true},
        // A session above normal already is no refusal to warn of.
        PriorityCase{"BoostBothRefusedAboveNormal", "rtboost", kRoot, SPY_PROCESS_SET | SPY_THREAD_SET,
                     {ABOVE_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},
                     {ABOVE_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}},
        // rtrestore sets what it cannot read, and what it may.
        PriorityCase{"RestoreOldClassUnreadable", "rtrestore", kRoot, SPY_PROCESS_READ, kRaised, kOrdinary,
                     kOrdinaryOld},
        PriorityCase{"RestoreOldClassRefused", "rtrestore", kRoot, SPY_PROCESS_SET, kRaised,
                     {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}, kOrdinaryOld},
        PriorityCase{"RestoreOldLevelRefused", "rtrestore", kRoot, SPY_THREAD_SET, kRaised,
                     {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, kOrdinaryOld},
        PriorityCase{"RestoreClassRefused", "rtrestore", kRoot, SPY_PROCESS_SET, kRaised,
                     {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}},
        PriorityCase{"RestoreLevelRefused", "rtrestore", kRoot, SPY_THREAD_SET, kRaised,
                     {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}}),
#else
    testing::Values(
        // An audio group's limits: nice down to 20 - 30, real time up to 95,
        // of which 80 is taken; or up to 50, all taken.
        PriorityCase{"LimitAboveTheLevel", "rtboost", {95, 30}, 0, kOrdinary, {kFifoReset, 80, -10}},
        PriorityCase{"LimitBelowTheLevel", "rtboost", {50, 30}, 0, kOrdinary, {kFifoReset, 50, -10}},
        // Either alone is something obtained, and no warning.
        PriorityCase{"NiceAlone", "rtboost", {0, 30}, 0, kOrdinary, {SCHED_OTHER | SCHED_RESET_ON_FORK, 0, -10}},
        PriorityCase{"RealTimeAlone", "rtboost", {95, 0}, 0, kOrdinary, {kFifoReset, 80, 0}},
        // Refused real time, what the thread starts still begins at nice 0;
        // and the script hears of it.
        PriorityCase{"NothingPermitted", "rtboost", {0, 0}, 0, kOrdinary, kOrdinaryReset, nullptr, true},
        // Nothing more permitted to a session raised before: it stays raised,
        // without a warning.
        PriorityCase{"NothingMoreForARaisedSession", "rtboost", {0, 0}, 0, kRaised, kRaised},
        PriorityCase{"NothingMoreForANiceSession", "rtboost", {0, 0}, 0, {SCHED_OTHER, 0, -20},
                     {SCHED_OTHER | SCHED_RESET_ON_FORK, 0, -20}},
        // Raised beyond the limits by an administrator: kept as it is.
        PriorityCase{"AlreadyAboveTheLimits", "rtboost", {95, 30}, 0, {SCHED_FIFO, 97, -15}, {kFifoReset, 97, -15}},
        PriorityCase{"RealTimeBetweenLimitAndLevel", "rtboost", {50, 30}, 0, {SCHED_FIFO, 60, -15},
                     {kFifoReset, 60, -15}},
        // Round robin at the limit (chrt -r 50) is no lower a standing: kept.
        PriorityCase{"RoundRobinAtTheLimit", "rtboost", {50, 0}, 0, {SCHED_RR, 50, 0},
                     {SCHED_RR | SCHED_RESET_ON_FORK, 50, 0}},
        // Root, already above the level (chrt -r 90): policy and level kept.
        PriorityCase{"RootAboveTheLevel", "rtboost", kRoot, 0, {SCHED_RR, 90, 0},
                     {SCHED_RR | SCHED_RESET_ON_FORK, 90, -20}},
        PriorityCase{"RestoreAfterRaise", "rtrestore", kRoot, 0, kRaised, kOrdinary},
        PriorityCase{"RestoreTheLeastRaise", "rtrestore", kRoot, 0, {SCHED_OTHER, 0, -1}, kOrdinary},
        // A positive nice value is the user's choice, and stays.
        PriorityCase{"RestoreKeepsAPositiveNice", "rtrestore", kRoot, 0, {SCHED_OTHER, 0, 5}, {SCHED_OTHER, 0, 5}},
        // Without the privilege to drop the reset-on-fork flag, it stays,
        // also where the standing before had none.
        PriorityCase{"RestoreUnprivileged", "rtrestore", {0, 0}, 0, kRaised, kOrdinaryReset},
        PriorityCase{"RestoreOldUnprivileged", "rtrestore", {0, 0}, 0, kRaised, kOrdinaryReset, kOrdinaryOld},
        // An old of the earlier layout (mextime 0.4): every other thread
        // stronger than its last field goes back to it.
        PriorityCase{"RestoreEarlierLayout", "rtrestore", kRoot, 0, kRaised, kOrdinary, "[2001,0,0,0,0,7]", false, 7},
        // Without old, a step that cannot read its start leaves it, and
        // the other goes on.
        PriorityCase{"BoostPolicyUnreadable", "rtboost", kRoot, SPY_PRIORITY_READ, kOrdinary, {SCHED_OTHER, 0, -20}},
        PriorityCase{"BoostNiceUnreadable", "rtboost", kRoot, SPY_PROCESS_READ, kOrdinary, {kFifoReset, 80, 0}},
        PriorityCase{"BoostNiceRefused", "rtboost", kRoot, SPY_PROCESS_SET, kOrdinary, {kFifoReset, 80, 0}, kAsked},
        PriorityCase{"BoostSchedulingRefused", "rtboost", kRoot, SPY_THREAD_SET, kOrdinary, {SCHED_OTHER, 0, -20}, kAsked},
        PriorityCase{"BoostBothRefused", "rtboost", kRoot, SPY_PROCESS_SET | SPY_THREAD_SET, kOrdinary, kOrdinary, kAsked,
                     true},
        // Limits that cannot be read grant nothing beyond what is asked.
        PriorityCase{"BoostLimitsUnreadable", "rtboost", {50, 30}, SPY_LIMITS, kOrdinary, kOrdinaryReset, kAsked, true},
        // Without the list of threads, or with every other thread ended,
        // the calling thread is raised alone.
        PriorityCase{"BoostThreadListRefused", "rtboost", kRoot, SPY_THREAD_LIST, kOrdinary, kRaised, kAsked, false, 0},
        PriorityCase{"BoostOthersGone", "rtboost", kRoot, SPY_OTHERS_GONE, kOrdinary, kRaised, kAsked, false, 0},
        // rtrestore gives back what it may, and what it can find.
        PriorityCase{"RestoreOldNiceRefused", "rtrestore", kRoot, SPY_PROCESS_SET, kRaised, {SCHED_OTHER, 0, -20},
                     kOrdinaryOld},
        PriorityCase{"RestoreOldSchedulingRefused", "rtrestore", kRoot, SPY_THREAD_SET, kRaised, {kFifoReset, 80, 0},
                     kOrdinaryOld},
        PriorityCase{"RestoreOldNiceUnreadable", "rtrestore", kRoot, SPY_PROCESS_READ, kRaised, kOrdinary, kOrdinaryOld,
                     false, -20},
        PriorityCase{"RestoreNiceUnreadable", "rtrestore", kRoot, SPY_PROCESS_READ, kRaised, {SCHED_OTHER, 0, -20}},
        PriorityCase{"RestoreOldThreadListRefused", "rtrestore", kRoot, SPY_THREAD_LIST, kRaised, kOrdinary,
                     kOrdinaryOld, false, -20},
        PriorityCase{"RestoreThreadListRefused", "rtrestore", kRoot, SPY_THREAD_LIST, kRaised, kOrdinary, nullptr,
                     false, -20},
        PriorityCase{"RestoreOldOthersGone", "rtrestore", kRoot, SPY_OTHERS_GONE, kRaised, kOrdinary, kOrdinaryOld,
                     false, -20}),
#endif
    RowName());

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
#endif
    spy_limit_priority(c.rtprio_limit, c.nice_limit);
    spy_refusals = c.refusals;
    if (c.after_sleep) call_mex("sleep", 0, {"1"});
    // Asked for three answers, rtstatus reads nothing of the fourth: on
    // Windows it would make a timer, on Linux read the waits' clock.
    const char *read = kWindows ? "timer" : "frequency";
    EXPECT_EQ(named(call_mex("rtstatus", 3, {}).events, {read}), Events{});
    Call call = call_mex("rtstatus", 4, {});
    EXPECT_EQ(named(call.events, {read}).size(), 1u);
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
