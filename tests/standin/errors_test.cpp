// Errors that no other table raises, and what each call does before it
// raises: the sweep checks the identifiers of every bad input with nargout
// 0 to 2 on every host, and mextimecheck's checks their messages; these rows
// add the other messages, the order of the checks where more than one
// fails, and that no check comes after a side effect it must precede.
#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase : Row {
    const char *function;
    std::vector<std::string> args;
    int nargout;
    const char *identifier, *message;
    Events before;         // what the call does first, of the events named below
    double from_now = 0;   // when set, the first input is the host's reading + this
    int refused = 0;       // what the spy makes the platform refuse
};

class Errors : public testing::TestWithParam<ErrorCase> {};

// Ctrl+C is pending throughout, so that a check that let a long wait
// through ends it at once, with the wrong error. The file stays loaded
// from before the host's reading, so that a deadline from now holds.
TEST_P(Errors, RaiseWithTheirMessageBeforeTheirSideEffects) {
    const ErrorCase &c = GetParam();
    const mexhost::Module kept(mex_path(c.function));
    std::vector<std::string> args = c.args;
    if (c.from_now != 0) args.insert(args.begin(), seconds_text(host_seconds() + c.from_now));
    utSetInterruptPending(true);
    spy_refusals = c.refused;
    Call call = call_mex(c.function, c.nargout, args);
    spy_refusals = 0;
    utSetInterruptPending(false);
    ASSERT_TRUE(call.outcome.raised);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    // Host arrays made, clock queries, resolution brackets, waits and
    // priority settings; not the input checks and reads or clock readings.
    EXPECT_EQ(named(call.events, {"frequency", "create", "logical", "string", "request", "throttling",
                                  "hold_latency", "timer", "wait", "process_priority", "thread_priority"}),
              c.before);
}

const Events kNothing, kFrequency{"frequency"}, kAnswer{"create"};
const char kTooMany[] = "Too many output arguments.";
const char kDeadline[] = "MATLAB:waituntil:invalidDeadline";
const char kFarText[] = "Deadline must be a clockread time less than 4294967 seconds away.";
const char kSpinText[] = "Spin must be a number of seconds from 0 to 1.";
const char kUnreadText[] = "The priority cannot be read.";

INSTANTIATE_TEST_SUITE_P(
    Standin, Errors,
    testing::Values(
        // clockread queries the frequency first on every call, before it
        // looks at its arguments.
        ErrorCase{"ClockreadFailureOverBoth", "clockread", {"1", "2"}, 3, "MATLAB:tsec:failure",
                  "QueryPerformanceFrequency failure.", kFrequency, 0, SPY_FREQUENCY},
        // clockutc checks its arguments before it queries anything.
        ErrorCase{"ClockutcInputsOverOutputs", "clockutc", {"1"}, 4, "MATLAB:clockutc:invalidNumInputs",
                  "No input arguments permitted.", kNothing},
        ErrorCase{"ClockutcFailure", "clockutc", {}, 1, "MATLAB:clockutc:failure", "The system clocks cannot be read.",
                  kFrequency, 0, SPY_FREQUENCY},
        ErrorCase{"ClockutcOutputsOverFailure", "clockutc", {}, 4, "MATLAB:clockutc:maxlhs", kTooMany, kNothing, 0,
                  SPY_FREQUENCY},
        // sleep reads its duration into a new answer, before any request.
        ErrorCase{"SleepNaN", "sleep", {"NaN"}, 1, "MATLAB:sleep:invalidDuration", "Duration must not be NaN.", kAnswer},
        ErrorCase{"SleepAllOnes", "sleep", {"4294967295"}, 1, "MATLAB:sleep:invalidDuration",
                  "Duration must be less than 4294967295 milliseconds.", kAnswer},
        // waituntil: every check before its answer and any wait.
        ErrorCase{"WaituntilThreeOutputsBadDeadline", "waituntil", {"'5'"}, 3, "MATLAB:waituntil:maxlhs", kTooMany, kNothing},
        ErrorCase{"WaituntilNaNBeforeSpin", "waituntil", {"NaN", "NaN"}, 1, kDeadline, "Deadline must not be NaN.", kNothing},
        ErrorCase{"WaituntilCounterFails", "waituntil", {"0"}, 1, "MATLAB:waituntil:failure", "The counter cannot be read.",
                  kFrequency, 0, SPY_FREQUENCY},
        ErrorCase{"DelayCounterFails", "delay", {"0"}, 1, "MATLAB:delay:failure", "The counter cannot be read.", kFrequency,
                  0, SPY_FREQUENCY},
        // Just past the cap, however long the call takes to start: within a
        // second, so that a cap one second later lets it through.
        ErrorCase{"WaituntilJustPastTheCap", "waituntil", {}, 1, kDeadline, kFarText, kFrequency, 4294967.9},
        ErrorCase{"WaituntilFarBeforeSpin", "waituntil", {"1e12", "2"}, 1, kDeadline, kFarText, kFrequency},
        ErrorCase{"WaituntilSpinNegative", "waituntil", {"0", "-0.001"}, 1, "MATLAB:waituntil:invalidSpin", kSpinText,
                  kFrequency},
        // A spin that is not one real double, refused rather than read from
        // its first element (or past the end of an empty one) before any wait.
        ErrorCase{"WaituntilSpinSparseBeforeTheWait", "waituntil", {"sparse(0.001)"}, 1, "MATLAB:waituntil:invalidSpin",
                  kSpinText, kFrequency, 0.5},
        ErrorCase{"DelaySpinEmptyBeforeTheWait", "delay", {"0.5", "[]"}, 1, "MATLAB:delay:invalidSpin", kSpinText,
                  kFrequency},
        // rtstatus checks before it reads anything; rtboost and rtrestore
        // before they change any priority.
        ErrorCase{"RtstatusInputOverOutputs", "rtstatus", {"1"}, 5, "MATLAB:rtstatus:invalidNumInputs", "No input required.",
                  kNothing},
        ErrorCase{"RtboostTwoOutputs", "rtboost", {}, 2, "MATLAB:rtboost:maxlhs", kTooMany, kNothing},
        // Asked for old, rtboost raises nothing when any part of it cannot
        // be read: the calling thread's policy or level, the process's class
        // or the nice values, the thread's real-time priority.
        ErrorCase{"RtboostUnreadable", "rtboost", {}, 1, "MATLAB:rtboost:failure", kUnreadText, kNothing, 0,
                  SPY_PRIORITY_READ},
        ErrorCase{"RtboostProcessUnreadable", "rtboost", {}, 1, "MATLAB:rtboost:failure", kUnreadText, kNothing, 0,
                  SPY_PROCESS_READ},
#ifndef _WIN32
        ErrorCase{"RtboostParamUnreadable", "rtboost", {}, 1, "MATLAB:rtboost:failure", kUnreadText, kNothing, 0,
                  SPY_PARAM_READ},
#endif
        ErrorCase{"RtrestoreInputsOverOutputs", "rtrestore", {"1", "2"}, 1, "MATLAB:rtrestore:invalidNumInputs",
                  "At most one input allowed.", kNothing},
        ErrorCase{"RtrestoreOutput", "rtrestore", {}, 1, "MATLAB:rtrestore:maxlhs", kTooMany, kNothing},
        ErrorCase{"RtrestoreMadeUp", "rtrestore", {"[1,2,3,4,5,6]"}, 0, "MATLAB:rtrestore:invalidInput",
                  "Input must be a priority that rtboost answered on this platform.", kNothing}),
    RowName());

}  // namespace
