// Every function built, with every input of tests/sweep/cases.txt that the
// stand-in host can represent, and nargout 0, 1 and 2: each call ends in the
// outcome the table gives, and the host survives them all.
#include "harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
const char kPlatform[] = "Windows";
#else
const char kPlatform[] = "Linux";
#endif

struct Case {
    int line;
    std::string octave;  // names the case in messages
    bool representable;
    std::vector<std::string> args;
    std::vector<std::string> outcomes;  // for nargout 0, 1 and 2
};

std::string trim(const std::string &text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> words(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, separator);) fields.push_back(trim(field));
    return fields;
}

// The table's cases for one function; a function with no column fails.
std::vector<Case> read_cases(const std::string &function) {
    std::ifstream in(MEXTIME_SWEEP_CASES);
    if (!in) {
        ADD_FAILURE() << "cannot read " << MEXTIME_SWEEP_CASES;
        return {};
    }
    std::vector<Case> cases;
    std::size_t column = 0;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (trim(line).empty() || trim(line)[0] == '#') continue;
        const std::vector<std::string> fields = split(line, '|');
        if (column == 0) {  // the header names the columns
            for (std::size_t i = 2; i < fields.size(); ++i)
                if (fields[i] == function) column = i;
            if (column == 0) {
                ADD_FAILURE() << "the sweep table has no column for " << function;
                return {};
            }
            continue;
        }
        if (fields.size() <= column) {
            ADD_FAILURE() << "line " << number << " of the sweep table has too few columns";
            continue;
        }
        Case c{number, fields[0], fields[1] != "-", words(fields[1]), words(fields[column])};
        if (c.outcomes.size() == 1) c.outcomes.assign(3, c.outcomes[0]);
        if (c.outcomes.size() != 3) {
            ADD_FAILURE() << "line " << number << ": one outcome or three, for " << function;
            continue;
        }
        cases.push_back(c);
    }
    return cases;
}

// Why the call did not end as expected; empty when it did.
std::string mismatch(const std::string &expected, const mexhost::Outcome &got, double &last_time) {
    if (expected.rfind("MATLAB:", 0) == 0 || expected == "unassigned") {
        const std::string id = expected == "unassigned" ? "MATLAB:unassignedOutputs" : expected;
        if (!got.raised) return "no error, expected " + id;
        return got.identifier == id ? "" : "error " + got.identifier + ", expected " + id;
    }
    if (got.raised) return "error " + got.identifier + ": " + got.message;
    if (expected == "none") {
        for (const mxArray_tag *output : got.outputs)
            if (output) return "an output was set";
        return "";
    }
    if (expected == "status") {
        const mxArray_tag *answer = got.outputs[0];
        if (!answer || answer->cls != ArrayClass::Logical || answer->rows != 1 || answer->cols != 1)
            return "the answer is not a logical scalar";
        for (std::size_t i = 1; i < got.outputs.size(); ++i)
            if (!got.outputs[i] || got.outputs[i]->cls != ArrayClass::Char ||
                got.outputs[i]->rows != 1 || got.outputs[i]->cols == 0)
                return "output " + std::to_string(i + 1) + " is not a char row";
        return "";
    }
    const mxArray_tag *answer = got.outputs[0];
    if (!answer || answer->cls != ArrayClass::Double || answer->rows != 1 || answer->cols != 1 ||
        answer->complex || answer->sparse)
        return "the answer is not a real double scalar";
    const double value = static_cast<const double *>(answer->real)[0];
    if (expected == "zero") return value == 0 ? "" : "answered " + std::to_string(value);
    if (expected == "time") {
        if (!(std::isfinite(value) && value > 0 && value >= last_time))
            return "time " + std::to_string(value) + " after " + std::to_string(last_time);
        last_time = value;
        return "";
    }
    return "unknown outcome '" + expected + "' in the sweep table";
}

// The functions this build made, from the build itself: none is left out.
std::vector<std::string> built_functions() { return split(MEXTIME_FUNCTIONS, ','); }

class BadInputs : public ::testing::TestWithParam<std::string> {};

TEST_P(BadInputs, EndInTheirDocumentedOutcome) {
    const std::string function = GetParam();
    int calls = 0;
    double last_time = 0;
    for (const Case &c : read_cases(function)) {
        if (!c.representable) continue;
        for (int nargout = 0; nargout <= 2; ++nargout) {
            const Call call = call_mex(function, nargout, c.args);
            ++calls;
            EXPECT_EQ(mismatch(c.outcomes[static_cast<std::size_t>(nargout)], call.outcome, last_time), "")
                << function << "(" << c.octave << ") with nargout " << nargout << ", table line "
                << c.line;
        }
    }
    std::printf("sweep %s: %d calls through the stand-in host on %s\n", function.c_str(), calls,
                kPlatform);
    EXPECT_GT(calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Sweep, BadInputs, ::testing::ValuesIn(built_functions()),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

}  // namespace
