#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <future>
#include <ostream>
#include <thread>
#endif

using Events = std::vector<std::string>;

namespace {

#ifdef _WIN32
// One setting for the whole process, then the calling thread's.
Events settings() { return {"process_priority", "thread_priority"}; }

class Rtboost : public testing::Test {};
#else
std::vector<pid_t> threads() {
    std::vector<pid_t> ids;
    DIR *tasks = opendir("/proc/self/task");
    while (dirent *entry = tasks ? readdir(tasks) : nullptr)
        if (entry->d_name[0] != '.') ids.push_back(std::atoi(entry->d_name));
    if (tasks) closedir(tasks);
    return ids;
}

// Linux raises every thread of the process in turn, then the calling thread.
Events settings() {
    Events events(threads().size(), "process_priority");
    events.push_back("thread_priority");
    return events;
}

struct State {
    int policy;
    int priority;
    int nice;
    bool operator==(const State &other) const {
        return policy == other.policy && priority == other.priority && nice == other.nice;
    }
};

void PrintTo(const State &s, std::ostream *os) {
    *os << "{policy " << s.policy << ", priority " << s.priority << ", nice " << s.nice << "}";
}

const State kOrdinary{SCHED_OTHER, 0, 0};
// The calling thread after rtboost, where nothing is refused.
const State kRaised{SCHED_FIFO | SCHED_RESET_ON_FORK, 80, -20};

State state_of(pid_t tid) {
    sched_param param{};
    sched_getparam(tid, &param);
    return {sched_getscheduler(tid), param.sched_priority, getpriority(PRIO_PROCESS, tid)};
}

// Every thread at the given nice value, the calling thread under the policy.
bool set_state(const State &s) {
    bool ok = true;
    for (pid_t tid : threads()) ok = setpriority(PRIO_PROCESS, tid, s.nice) == 0 && ok;
    sched_param param{};
    param.sched_priority = s.priority;
    return pthread_setschedparam(pthread_self(), s.policy, &param) == 0 && ok;
}

// A thread of the process other than the calling one, started before the
// call and parked until the test ends.
class Bystander {
public:
    Bystander() : thread_([this] {
        tid_.set_value(gettid());
        release_.get_future().wait();
    }) { tid = tid_.get_future().get(); }
    ~Bystander() {
        release_.set_value();
        thread_.join();
    }
    pid_t tid;

private:
    std::promise<pid_t> tid_;
    std::promise<void> release_;
    std::thread thread_;
};

// Each test starts from ordinary scheduling, whatever ctest was started with,
// with a second thread already running.
class Rtboost : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(set_state(kOrdinary)) << "cannot reset scheduling"; }
    Bystander other_;
};
#endif

TEST_F(Rtboost, LeavesCallingThreadTimeCriticalAndTheProcessRaised) {
    Call call = call_mex("rtboost", 0, {});
    ASSERT_FALSE(call.outcome.raised);
#ifdef _WIN32
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(REALTIME_PRIORITY_CLASS));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
#else
    EXPECT_EQ(state_of(gettid()), kRaised);
    // The other thread gets the strongest ordinary standing, not real time.
    EXPECT_EQ(state_of(other_.tid), (State{SCHED_OTHER, 0, -20}));
#endif
}

#ifndef _WIN32
// A thread of the calling thread's, and a child process as system() starts
// one: neither inherits real time or a negative nice value.
TEST_F(Rtboost, WhatTheRaisedThreadStartsBeginsOrdinary) {
    ASSERT_FALSE(call_mex("rtboost", 0, {}).outcome.raised);
    ASSERT_EQ(state_of(gettid()).priority, kRaised.priority);

    State in_thread{};
    std::thread([&in_thread] { in_thread = state_of(gettid()); }).join();
    EXPECT_EQ(in_thread, kOrdinary);

    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
        const State in_child = state_of(0);
        _exit(write(channel[1], &in_child, sizeof in_child) == sizeof in_child ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    close(channel[1]);
    State in_child{};
    EXPECT_EQ(read(channel[0], &in_child, sizeof in_child), static_cast<ssize_t>(sizeof in_child));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(in_child, kOrdinary);
}
#endif

struct InputCase {
    const char *name;
    int nargout;
    std::vector<std::string> args;
};

void PrintTo(const InputCase &c, std::ostream *os) { *os << c.name; }

class RtboostInputs : public Rtboost, public testing::WithParamInterface<InputCase> {};

TEST_P(RtboostInputs, AreIgnoredAndEveryCallMakesTheSameTwoSettings) {
    const InputCase &c = GetParam();
    for (int round : {1, 2}) {
        SCOPED_TRACE(round);
        Call call = call_mex("rtboost", c.nargout, c.args);
        // No host call: nothing created, read or raised, and slot 0 stays empty.
        EXPECT_EQ(call.events, settings());
        EXPECT_EQ(call.outcome.outputs[0], nullptr);
        // Asked for an output, the host itself finds it unset, as MATLAB does.
        EXPECT_EQ(call.outcome.identifier, c.nargout == 0 ? "" : "MATLAB:unassignedOutputs");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rtboost, RtboostInputs,
    testing::Values(InputCase{"None", 0, {}}, InputCase{"Number", 0, {"5"}},
                    InputCase{"Text", 1, {"'abc'"}}, InputCase{"Empty", 0, {"[]"}},
                    InputCase{"Several", 1, {"5", "'abc'", "[]"}}),
    [](const testing::TestParamInfo<InputCase> &info) { return info.param.name; });

#ifndef _WIN32
// A caller without CAP_SYS_NICE, faked by the spy, gets the most its limits
// permit; no caller gets less than it already has.
struct LimitCase {
    const char *name;
    int rtprio_limit;  // -1: no limits, as root
    int nice_limit;
    State before;  // of the calling thread; every thread starts at its nice
    Events per_thread;   // after each "process_priority"
    Events thread_step;  // the thread step's calls
    State after;
};

void PrintTo(const LimitCase &c, std::ostream *os) { *os << c.name; }

class RtboostLimits : public Rtboost, public testing::WithParamInterface<LimitCase> {};

TEST_P(RtboostLimits, TakeTheBestPermittedWithoutLowering) {
    const LimitCase &c = GetParam();
    ASSERT_TRUE(set_state(c.before));
    Events expected;
    for (size_t i = 0; i < threads().size(); ++i) {
        expected.push_back("process_priority");
        expected.insert(expected.end(), c.per_thread.begin(), c.per_thread.end());
    }
    expected.insert(expected.end(), c.thread_step.begin(), c.thread_step.end());

    spy_limit_priority(c.rtprio_limit, c.nice_limit);
    Call call = call_mex("rtboost", 0, {});
    spy_limit_priority(-1, -1);

    EXPECT_FALSE(call.outcome.raised);
    EXPECT_EQ(call.events, expected);
    EXPECT_EQ(state_of(gettid()), c.after);
    EXPECT_EQ(state_of(other_.tid), (State{SCHED_OTHER, 0, c.after.nice}));
}

constexpr int kFifoReset = SCHED_FIFO | SCHED_RESET_ON_FORK;

INSTANTIATE_TEST_SUITE_P(
    Rtboost, RtboostLimits,
    testing::Values(
        // An audio group's limits: nice down to 20 - 30, real time up to 95,
        // of which 80 is taken.
        LimitCase{"LimitAboveTheLevel", 95, 30, kOrdinary, {"process_priority(-10)"},
                  {"thread_priority"}, {kFifoReset, 80, -10}},
        LimitCase{"LimitBelowTheLevel", 50, 30, kOrdinary, {"process_priority(-10)"},
                  {"thread_priority", "thread_priority(SCHED_FIFO|RESET_ON_FORK,50)"},
                  {kFifoReset, 50, -10}},
        // Refused real time, what the thread starts still begins at nice 0.
        LimitCase{"NothingPermitted", 0, 0, kOrdinary, {},
                  {"thread_priority", "thread_priority(SCHED_OTHER|RESET_ON_FORK,0)"},
                  {SCHED_OTHER | SCHED_RESET_ON_FORK, 0, 0}},
        // Raised beyond the limits by an administrator: kept as it is.
        LimitCase{"AlreadyAboveTheLimits", 95, 30, {SCHED_FIFO, 97, -15}, {},
                  {"thread_priority(SCHED_FIFO|RESET_ON_FORK,97)"}, {kFifoReset, 97, -15}},
        LimitCase{"RealTimeBetweenLimitAndLevel", 50, 30, {SCHED_FIFO, 60, -15}, {},
                  {"thread_priority", "thread_priority(SCHED_FIFO|RESET_ON_FORK,60)"},
                  {kFifoReset, 60, -15}},
        // Root, already above the level (chrt -r 90): policy and level kept.
        LimitCase{"RootAboveTheLevel", -1, -1, {SCHED_RR, 90, 0}, {},
                  {"thread_priority(SCHED_RR|RESET_ON_FORK,90)"},
                  {SCHED_RR | SCHED_RESET_ON_FORK, 90, -20}}),
    [](const testing::TestParamInfo<LimitCase> &info) { return info.param.name; });
#endif

// rtrestore after rtboost: the ordinary standing again, asked of the
// platform in one call each for the process and the calling thread.
#ifdef _WIN32
TEST_F(Rtboost, RtrestoreGivesBackTheNormalClassAndLevel) {
    ASSERT_FALSE(call_mex("rtboost", 0, {}).outcome.raised);
    Call call = call_mex("rtrestore", 0, {});
    EXPECT_FALSE(call.outcome.raised);
    EXPECT_EQ(call.events, (Events{"process_priority(0x20)", "thread_priority(0)"}));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}
#else
struct RestoreCase {
    const char *name;
    bool boosted;   // rtboost first; otherwise every thread starts as `before`
    State before;
    int rtprio_limit;  // -1: no limits, as root
    Events per_thread;   // for each thread
    Events thread_step;
    State after;  // of the calling thread; every other thread has its nice
};

void PrintTo(const RestoreCase &c, std::ostream *os) { *os << c.name; }

class Rtrestore : public Rtboost, public testing::WithParamInterface<RestoreCase> {};

TEST_P(Rtrestore, LeavesTheOrdinaryPolicyAndNoNegativeNice) {
    const RestoreCase &c = GetParam();
    if (c.boosted)
        ASSERT_FALSE(call_mex("rtboost", 0, {}).outcome.raised);
    else
        ASSERT_TRUE(set_state(c.before));
    Events expected;
    for (size_t i = 0; i < threads().size(); ++i)
        expected.insert(expected.end(), c.per_thread.begin(), c.per_thread.end());
    expected.insert(expected.end(), c.thread_step.begin(), c.thread_step.end());

    spy_limit_priority(c.rtprio_limit, c.rtprio_limit);
    Call call = call_mex("rtrestore", 0, {});
    spy_limit_priority(-1, -1);

    EXPECT_FALSE(call.outcome.raised);
    EXPECT_EQ(call.events, expected);
    EXPECT_EQ(state_of(gettid()), c.after);
    EXPECT_EQ(state_of(other_.tid), (State{SCHED_OTHER, 0, c.after.nice}));
}

INSTANTIATE_TEST_SUITE_P(
    Rtrestore, Rtrestore,
    testing::Values(
        RestoreCase{"AfterRtboost", true, {}, -1, {"process_priority(0)"},
                    {"thread_priority(SCHED_OTHER,0)"}, kOrdinary},
        // A positive nice value is the user's choice, and stays.
        RestoreCase{"PositiveNiceKept", false, {SCHED_OTHER, 0, 5}, -1, {},
                    {"thread_priority(SCHED_OTHER,0)"}, {SCHED_OTHER, 0, 5}},
        // Without the privilege to drop the reset-on-fork flag, it stays.
        RestoreCase{"AfterRtboostUnprivileged", true, {}, 0, {"process_priority(0)"},
                    {"thread_priority(SCHED_OTHER,0)",
                     "thread_priority(SCHED_OTHER|RESET_ON_FORK,0)"},
                    {SCHED_OTHER | SCHED_RESET_ON_FORK, 0, 0}}),
    [](const testing::TestParamInfo<RestoreCase> &info) { return info.param.name; });
#endif

std::string text_of(const mxArray_tag *array) {
    if (!array || array->cls != ArrayClass::Char || array->rows != 1)
        return "(not a char row)";
    const auto *chars = static_cast<const std::uint16_t *>(array->real);
    return std::string(chars, chars + array->cols);
}

int logical_of(const mxArray_tag *array) {
    if (!array || array->cls != ArrayClass::Logical || array->rows != 1 || array->cols != 1)
        return -1;
    return *static_cast<const unsigned char *>(array->real);
}

#ifdef _WIN32
// The two reads, then the answers.
const Events kStatusReads{"read_process_priority", "read_thread_priority"};

struct Standing {
    DWORD priority_class;
    int level;
};

bool set_standing(const Standing &s) {
    return SetPriorityClass(GetCurrentProcess(), s.priority_class) &&
           SetThreadPriority(GetCurrentThread(), s.level);
}
#else
// Nothing read is observed on Linux; the answers are compared with the
// kernel's own view instead.
const Events kStatusReads{};

using Standing = State;

bool set_standing(const Standing &s) { return set_state(s); }
#endif

struct StatusCase {
    const char *name;
    Standing standing;
    bool realtime;
    const char *process;
    const char *thread;
};

void PrintTo(const StatusCase &c, std::ostream *os) { *os << c.name; }

class Rtstatus : public Rtboost, public testing::WithParamInterface<StatusCase> {};

TEST_P(Rtstatus, NamesWhatTheProcessAndThreadHave) {
    const StatusCase &c = GetParam();
    ASSERT_TRUE(set_standing(c.standing));
    Call call = call_mex("rtstatus", 3, {});
    ASSERT_FALSE(call.outcome.raised) << call.outcome.message;
    Events expected = kStatusReads;
    expected.insert(expected.end(), {"logical", "string", "string"});
    EXPECT_EQ(call.events, expected);
    EXPECT_EQ(logical_of(call.outcome.outputs[0]), c.realtime ? 1 : 0);
    EXPECT_EQ(text_of(call.outcome.outputs[1]), c.process);
    EXPECT_EQ(text_of(call.outcome.outputs[2]), c.thread);
}

INSTANTIATE_TEST_SUITE_P(
    Rtstatus, Rtstatus,
#ifdef _WIN32
    testing::Values(
        StatusCase{"Normal", {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL}, false, "normal",
                   "normal"},
        StatusCase{"AfterRtboost",
                   {REALTIME_PRIORITY_CLASS, THREAD_PRIORITY_TIME_CRITICAL}, true, "realtime",
                   "time critical"},
        StatusCase{"High", {HIGH_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST}, false, "high",
                   "highest"},
        StatusCase{"AboveNormal",
                   {ABOVE_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_ABOVE_NORMAL}, false,
                   "above normal", "above normal"},
        StatusCase{"BelowNormal",
                   {BELOW_NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_BELOW_NORMAL}, false,
                   "below normal", "below normal"},
        StatusCase{"Idle", {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST}, false, "idle",
                   "lowest"},
        StatusCase{"IdleThread", {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_IDLE}, false, "normal",
                   "idle"},
        // Levels -7 to 6 exist only in the real-time class, without a name.
        StatusCase{"RealtimeLevelSix", {REALTIME_PRIORITY_CLASS, 6}, true, "realtime", "6"},
        StatusCase{"RealtimeLevelMinusSeven", {REALTIME_PRIORITY_CLASS, -7}, true, "realtime",
                   "-7"}),
#else
    testing::Values(
        StatusCase{"Ordinary", kOrdinary, false, "nice 0", "other"},
        // The reset-on-fork flag is no policy of its own.
        StatusCase{"AfterRtboost", kRaised, true, "nice -20", "fifo 80"},
        StatusCase{"RoundRobin", {SCHED_RR, 10, 5}, true, "nice 5", "rr 10"},
        StatusCase{"Batch", {SCHED_BATCH, 0, 3}, false, "nice 3", "batch"},
        StatusCase{"Idle", {SCHED_IDLE, 0, 0}, false, "nice 0", "idle"}),
#endif
    [](const testing::TestParamInfo<StatusCase> &info) { return info.param.name; });

// Every check before anything is read or created; a bare call sets ans.
struct StatusCallCase {
    const char *name;
    int nargout;
    std::vector<std::string> args;
    const char *identifier;  // empty: answers, created in this order
    const char *message;
    Events answers;
};

void PrintTo(const StatusCallCase &c, std::ostream *os) { *os << c.name; }

class RtstatusCalls : public testing::TestWithParam<StatusCallCase> {};

TEST_P(RtstatusCalls, CheckFirstThenAnswerWhatIsAskedFor) {
    const StatusCallCase &c = GetParam();
    Call call = call_mex("rtstatus", c.nargout, c.args);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    Events expected;
    if (*c.identifier) {
        expected.push_back(std::string("error(") + c.identifier + ")");
    } else {
        expected = kStatusReads;
        expected.insert(expected.end(), c.answers.begin(), c.answers.end());
        EXPECT_NE(logical_of(call.outcome.outputs[0]), -1);
    }
    EXPECT_EQ(call.events, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rtstatus, RtstatusCalls,
    testing::Values(
        StatusCallCase{"Bare", 0, {}, "", "", {"logical"}},
        StatusCallCase{"TwoOutputs", 2, {}, "", "", {"logical", "string"}},
        StatusCallCase{"Input", 1, {"[]"}, "MATLAB:rtstatus:invalidNumInputs",
                       "No input required.", {}},
        StatusCallCase{"FourOutputs", 4, {}, "MATLAB:rtstatus:maxlhs",
                       "Too many output arguments.", {}},
        StatusCallCase{"InputAndFourOutputs", 4, {"1"}, "MATLAB:rtstatus:invalidNumInputs",
                       "No input required.", {}}),
    [](const testing::TestParamInfo<StatusCallCase> &info) { return info.param.name; });

}  // namespace
