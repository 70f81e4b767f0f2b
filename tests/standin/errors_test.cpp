// Each function's errors, with their messages, and what the call does
// before it raises: the sweep checks the identifiers of every bad input on
// every host; these rows add each message once, the order of the checks,
// and that no check comes after a side effect it must precede.
#include "harness.h"
#include "spy.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase {
    const char *name;
    const char *function;
    std::vector<std::string> args;
    int nargout;
    const char *identifier;
    const char *message;
    Events before;         // what the call does first, of the events named below
    double from_now = 0;   // when set, the first input is the host's reading + this
    bool frequency_fails = false;
};

void PrintTo(const ErrorCase &c, std::ostream *os) { *os << c.name; }

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
    spy_fail_frequency(c.frequency_fails);
    Call call = call_mex(c.function, c.nargout, args);
    spy_fail_frequency(0);
    utSetInterruptPending(false);
    ASSERT_TRUE(call.outcome.raised);
    EXPECT_EQ(call.outcome.identifier, c.identifier);
    EXPECT_EQ(call.outcome.message, c.message);
    Events expected = c.before;
    expected.push_back(std::string("error(") + c.identifier + ")");
    // Host arrays made, clock queries, resolution brackets and waits; not
    // the input checks and reads or clock readings.
    EXPECT_EQ(named(call.events, {"frequency", "create", "logical", "string", "request", "throttling",
                                  "hold_latency", "timer", "wait", "error"}),
              expected);
}

const Events kNothing, kFrequency{"frequency"}, kAnswer{"create"};

const char kTsecInputs[] = "MATLAB:tsec:invalidNumInputs";
const char kTsecFailure[] = "MATLAB:tsec:failure";
const char kUtcInputs[] = "MATLAB:clockutc:invalidNumInputs";
const char kUtcOutputs[] = "MATLAB:clockutc:maxlhs";
const char kUtcFailure[] = "MATLAB:clockutc:failure";
const char kDeadline[] = "MATLAB:waituntil:invalidDeadline";
const char kFarText[] = "Deadline must be less than 4294967 seconds away.";
const char kSpin[] = "MATLAB:waituntil:invalidSpin";
const char kSpinText[] = "Spin must be a number of seconds from 0 to 1.";
const char kStatusInputs[] = "MATLAB:rtstatus:invalidNumInputs";
const char kNoInput[] = "No input required.";
const char kTooMany[] = "Too many output arguments.";

INSTANTIATE_TEST_SUITE_P(
    Standin, Errors,
    testing::Values(
        // clockread queries the frequency first on every call.
        ErrorCase{"ClockreadInput", "clockread", {"[]"}, 0, kTsecInputs, kNoInput, kFrequency},
        ErrorCase{"ClockreadTwoOutputs", "clockread", {}, 2, "MATLAB:tsec:maxlhs", kTooMany, kFrequency},
        ErrorCase{"ClockreadInputsOverOutputs", "clockread", {"1"}, 2, kTsecInputs, kNoInput, kFrequency},
        ErrorCase{"ClockreadFailure", "clockread", {}, 1, kTsecFailure,
                  "QueryPerformanceFrequency failure.", kFrequency, 0, true},
        ErrorCase{"ClockreadFailureOverBoth", "clockread", {"1", "2"}, 3, kTsecFailure,
                  "QueryPerformanceFrequency failure.", kFrequency, 0, true},
        // clockutc checks its arguments before it queries anything.
        ErrorCase{"ClockutcInput", "clockutc", {"1"}, 0, kUtcInputs, "No input arguments permitted.", kNothing},
        ErrorCase{"ClockutcFourOutputs", "clockutc", {}, 4, kUtcOutputs, kTooMany, kNothing},
        ErrorCase{"ClockutcInputsOverOutputs", "clockutc", {"1"}, 4, kUtcInputs,
                  "No input arguments permitted.", kNothing},
        ErrorCase{"ClockutcFailure", "clockutc", {}, 1, kUtcFailure, "The system clocks cannot be read.",
                  kFrequency, 0, true},
        ErrorCase{"ClockutcOutputsOverFailure", "clockutc", {}, 4, kUtcOutputs, kTooMany, kNothing, 0, true},
        // sleep reads its duration into a new answer, before any request.
        ErrorCase{"SleepNoInput", "sleep", {}, 1, "MATLAB:sleep:invalidNumInputs", "One input required.", kNothing},
        ErrorCase{"SleepChar", "sleep", {"'5'"}, 1, "MATLAB:sleep:invalidInput",
                  "Duration must be a non-empty full double array.", kNothing},
        ErrorCase{"SleepNaN", "sleep", {"NaN"}, 1, "MATLAB:sleep:invalidDuration",
                  "Duration must not be NaN.", kAnswer},
        ErrorCase{"SleepAllOnes", "sleep", {"4294967295"}, 1, "MATLAB:sleep:invalidDuration",
                  "Duration must be less than 4294967295 milliseconds.", kAnswer},
        // waituntil: every check before its answer and any wait.
        ErrorCase{"WaituntilThreeInputs", "waituntil", {"0", "0", "0"}, 1,
                  "MATLAB:waituntil:invalidNumInputs", "One or two inputs required.", kNothing},
        ErrorCase{"WaituntilThreeOutputsBadDeadline", "waituntil", {"'5'"}, 3, "MATLAB:waituntil:maxlhs",
                  kTooMany, kNothing},
        ErrorCase{"WaituntilVector", "waituntil", {"[1,2]"}, 1, kDeadline,
                  "Deadline must be a real double scalar.", kNothing},
        ErrorCase{"WaituntilNaNBeforeSpin", "waituntil", {"NaN", "NaN"}, 1, kDeadline,
                  "Deadline must not be NaN.", kNothing},
        ErrorCase{"WaituntilCounterFails", "waituntil", {"0"}, 1, "MATLAB:waituntil:failure",
                  "The counter cannot be read.", kFrequency, 0, true},
        // Half a second past the cap, however long the call takes to start.
        ErrorCase{"WaituntilJustPastTheCap", "waituntil", {}, 1, kDeadline, kFarText, kFrequency, 4294967.5},
        ErrorCase{"WaituntilFarBeforeSpin", "waituntil", {"1e12", "2"}, 1, kDeadline, kFarText, kFrequency},
        ErrorCase{"WaituntilSpinNegative", "waituntil", {"0", "-0.001"}, 1, kSpin, kSpinText, kFrequency},
        // rtstatus checks before it reads anything.
        ErrorCase{"RtstatusInput", "rtstatus", {"[]"}, 1, kStatusInputs, kNoInput, kNothing},
        ErrorCase{"RtstatusFourOutputs", "rtstatus", {}, 4, "MATLAB:rtstatus:maxlhs", kTooMany, kNothing},
        ErrorCase{"RtstatusInputOverOutputs", "rtstatus", {"1"}, 4, kStatusInputs, kNoInput, kNothing}),
    [](const testing::TestParamInfo<ErrorCase> &info) { return info.param.name; });

}  // namespace
