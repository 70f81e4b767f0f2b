// Every function built, with every input of tests/sweep/cases.txt that the
// stand-in host can represent, and nargout 0, 1 and 2: each call ends in the
// outcome the table gives, and the host survives them all.
#include "harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// The fields of a line, at separator, and the words of a field.
std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
    return fields;
}

std::vector<std::string> words(const std::string &field) {
    std::istringstream in(field);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The arguments in mexhost's syntax and the outcomes for nargout 0, 1, 2,
// named by the Octave text, of each line the host can represent.
struct Case {
    std::string octave;
    std::vector<std::string> args, outcomes;
};

std::vector<Case> read_cases(const std::string &function) {
    std::ifstream in(MEXTIME_SWEEP_CASES);
    std::vector<Case> cases;
    std::size_t column = 0;
    for (std::string line; std::getline(in, line);) {
        if (line[0] == '#' || line.find('|') == std::string::npos) continue;
        const std::vector<std::string> fields = split(line, '|');
        if (column == 0) {  // the header names the columns
            for (std::size_t k = 2; k < fields.size(); ++k)
                if (words(fields[k]) == std::vector<std::string>{function}) column = k;
            if (column != 0) continue;
            ADD_FAILURE() << "the sweep table has no column for " << function;
            return {};
        }
        Case c{fields[0].substr(0, fields[0].find_last_not_of(' ') + 1), words(fields[1]),
               words(column < fields.size() ? fields[column] : "")};
        if (c.outcomes.size() == 1) c.outcomes.assign(3, c.outcomes[0]);
        if (c.outcomes.size() != 3) ADD_FAILURE() << line << ": one outcome or three, for " << function;
        else if (c.args != std::vector<std::string>{"-"}) cases.push_back(c);
    }
    return cases;
}

// A real, full row of that class, of least to most elements.
bool is(const mxArray_tag *a, ArrayClass cls, std::size_t least = 1, std::size_t most = 1) {
    return a && a->cls == cls && a->rows == 1 && a->cols >= least && a->cols <= most && !a->complex && !a->sparse;
}

// Why the call did not end as expected; empty when it did.
std::string mismatch(const std::string &expected, const mexhost::Outcome &got, double &last_time) {
    if (expected.rfind("MATLAB:", 0) == 0 || expected == "unassigned") {
        const std::string id = expected == "unassigned" ? "MATLAB:unassignedOutputs" : expected;
        return got.identifier == id ? "" : "error '" + got.identifier + "', expected " + id;
    }
    if (got.raised) return "error " + got.identifier + ": " + got.message;
    const mxArray_tag *answer = got.outputs[0];
    if (expected == "none") return answer ? "an output was set" : "";
    if (expected == "status") {
        for (std::size_t i = 1; i < got.outputs.size(); ++i)
            if (!is(got.outputs[i], ArrayClass::Char, 1, SIZE_MAX)) return "a further output is not a char row";
        return is(answer, ArrayClass::Logical) ? "" : "the answer is not a logical scalar";
    }
    if (expected == "saved")
        return is(answer, ArrayClass::Double, 2, SIZE_MAX) ? "" : "the answer is not a real double row";
    if (!is(answer, ArrayClass::Double)) return "the answer is not a real double scalar";
    const double value = static_cast<const double *>(answer->real)[0];
    if (expected == "zero") return value == 0 ? "" : "answered " + std::to_string(value);
    if (expected != "time") return "unknown outcome '" + expected + "' in the sweep table";
    const bool later = std::isfinite(value) && value > 0 && value >= last_time;
    last_time = later ? value : last_time;
    return later ? "" : "time " + std::to_string(value) + " after " + std::to_string(last_time);
}

class BadInputs : public ::testing::TestWithParam<std::string> {};

TEST_P(BadInputs, EndInTheirDocumentedOutcome) {
    const std::string function = GetParam();
    int calls = 0;
    double last_time = 0;
    for (const Case &c : read_cases(function)) {
        for (int nargout = 0; nargout <= 2; ++nargout, ++calls)
            EXPECT_EQ(mismatch(c.outcomes[nargout], call_mex(function, nargout, c.args).outcome, last_time), "")
                << function << "(" << c.octave << ") with nargout " << nargout;
    }
    std::printf("sweep %s: %d calls through the stand-in host\n", function.c_str(), calls);
    EXPECT_GT(calls, 0);
}

// The functions this build made, from the build itself: none is left out.
INSTANTIATE_TEST_SUITE_P(Sweep, BadInputs, ::testing::ValuesIn(split(MEXTIME_FUNCTIONS, ',')),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

}  // namespace
