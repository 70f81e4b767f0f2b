// clockutc: the UTC time of an instant on clockread's timebase, so that a
// script's timestamps line up with recordings stamped in UTC elsewhere.
//
// [t, utc, uncertainty] = clockutc() reads the counter, the UTC clock, then
// the counter again, and keeps the tightest of several such tries: t is the
// midpoint of its two counter readings, in seconds as clockread answers
// them; utc the POSIX time read between them; uncertainty half their
// distance, plus the UTC clock's own step where it steps coarsely.
#include "counter.h"
#include "mex.h"
#include "utc.h"

constexpr int MAX_TRIES = 10;
// A pair this tight is as good as the clocks themselves: no further try.
constexpr double GOOD_ENOUGH_SECONDS = 1e-6;

// clockread's arithmetic, so that t compares with its answers.
using mextime::seconds;

// Whole seconds and the fraction apart: ticks since 1970 turned into one
// double first would already be rounded to a quarter microsecond.
static double posix_seconds(std::int64_t ticks, std::int64_t per_second) {
    return static_cast<double>(ticks / per_second) +
           static_cast<double>(ticks % per_second) / static_cast<double>(per_second);
}

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *[]) {
    if (nrhs != 0)
        mexErrMsgIdAndTxt("MATLAB:clockutc:invalidNumInputs", "No input arguments permitted.");
    if (nlhs > 3) mexErrMsgIdAndTxt("MATLAB:clockutc:maxlhs", "Too many output arguments.");
    std::int64_t frequency = 0;
    if (!mextime::query_frequency(frequency))
        mexErrMsgIdAndTxt("MATLAB:clockutc:failure", "The system clocks cannot be read.");
    const mextime::UtcClock clock = mextime::find_utc_clock();

    std::int64_t before = 0, utc = 0, after = 0;
    for (int tries = 0; tries < MAX_TRIES; ++tries) {
        const std::int64_t counter = mextime::read_counter();
        const std::int64_t reading = mextime::read_utc(clock);
        const std::int64_t counter_after = mextime::read_counter();
        if (tries == 0 || counter_after - counter < after - before) {
            before = counter;
            utc = reading;
            after = counter_after;
        }
        if (seconds(after - before, frequency) / 2 < GOOD_ENOUGH_SECONDS) break;
    }

    // Slot 0 is filled even when nlhs is 0: the host returns it as ans.
    const double answers[] = {
        (seconds(before, frequency) + seconds(after, frequency)) / 2,
        posix_seconds(utc, clock.ticks_per_second),
        seconds(after - before, frequency) / 2 + posix_seconds(clock.step, clock.ticks_per_second)};
    for (int k = 0; k == 0 || k < nlhs; ++k) {
        plhs[k] = mxCreateDoubleMatrix(1, 1, mxREAL);
        *mxGetPr(plhs[k]) = answers[k];
    }
}
