#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
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
    EXPECT_EQ(state_of(gettid()), (State{SCHED_FIFO, sched_get_priority_max(SCHED_FIFO), -20}));
    // The other thread gets the strongest ordinary standing, not real time.
    EXPECT_EQ(state_of(other_.tid), (State{SCHED_OTHER, 0, -20}));
#endif
}

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
// A caller without CAP_SYS_NICE, faked by the spy: it gets the most its
// limits permit, and never less than it already has.
struct LimitCase {
    const char *name;
    int rtprio_limit;
    int nice_limit;
    State before;  // of the calling thread; every thread starts at its nice
    Events per_thread;   // after each refused "process_priority"
    Events thread_step;  // after the refused "thread_priority"
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
    expected.push_back("thread_priority");
    expected.insert(expected.end(), c.thread_step.begin(), c.thread_step.end());

    spy_limit_priority(c.rtprio_limit, c.nice_limit);
    Call call = call_mex("rtboost", 0, {});
    spy_limit_priority(-1, -1);

    EXPECT_FALSE(call.outcome.raised);
    EXPECT_EQ(call.events, expected);
    EXPECT_EQ(state_of(gettid()), c.after);
    EXPECT_EQ(state_of(other_.tid), (State{SCHED_OTHER, 0, c.after.nice}));
}

INSTANTIATE_TEST_SUITE_P(
    Rtboost, RtboostLimits,
    testing::Values(
        // An audio group's limits: nice down to 20 - 30, real time up to 95.
        LimitCase{"LimitsGrantPart", 95, 30, kOrdinary, {"process_priority(-10)"},
                  {"thread_priority(SCHED_FIFO,95)"}, {SCHED_FIFO, 95, -10}},
        LimitCase{"NothingPermitted", 0, 0, kOrdinary, {}, {}, kOrdinary},
        // Raised beyond the limits by an administrator: kept as it is.
        LimitCase{"AlreadyAboveTheLimits", 95, 30, {SCHED_FIFO, 97, -15}, {}, {},
                  {SCHED_FIFO, 97, -15}}),
    [](const testing::TestParamInfo<LimitCase> &info) { return info.param.name; });
#endif

}  // namespace
