// The wait of waituntil and delay: until clockread() would answer t or more,
// with the platform's timer until spin seconds before t, then by reading the
// counter. The same in every platform; the timer and the host's flags are
// the platform's (until_*.cpp, interrupt_*.cpp).
#ifndef MEXTIME_SLEEP_DEADLINE_H
#define MEXTIME_SLEEP_DEADLINE_H

#include "interrupt.h"
#include "mex.h"

#include <cstdint>

namespace mextime {

// The farthest deadline: Windows' millisecond wait reads 4294967295 as
// endless, and a deadline this far fits every counter's ticks.
constexpr double MAX_WAIT_SECONDS = 4294967;
constexpr double MAX_SPIN_SECONDS = 1;
// A wait this far in the past, or further ahead than this, is most likely a
// slip (a duration or a date where a clockread time belongs, seconds read as
// milliseconds), and is warned of before it starts; a loop a few seconds
// behind or a five-minute break is not.
constexpr double PAST_WARNING_SECONDS = 60;
constexpr double AHEAD_WARNING_SECONDS = 600;

// The spin to allow for a wait until t when none is given, from how late
// the timer woke in this file's recent waits (`clear` of the function starts
// it over).
double learned_spin(double t, std::int64_t now, std::int64_t frequency);

// Waits until t (seconds on clockread's timebase), spin seconds of it by
// reading the counter; `now` is the counter reading just taken, and is left
// at the one that ended the wait. The timer waits in slices and asks the
// host between them; a wait the host must stop ends early, with the reason.
HostStop wait_until(double t, double spin, std::int64_t &now, std::int64_t frequency);

// What waituntil and delay share of their host calls; errors are raised
// with the calling function's identifiers.
inline bool is_real_double_scalar(const mxArray *array) {
    return mxIsDouble(array) && !mxIsComplex(array) && !mxIsSparse(array) &&
           mxGetNumberOfElements(array) == 1;
}

// The spin given as input 1, checked, or the one learned for a wait until t.
double requested_spin(int nrhs, const mxArray *prhs[], double t, std::int64_t now, std::int64_t frequency,
                      const char *invalid_spin_id);

// Answers w, and the spin where asked, then waits: w is the reading that
// ended the wait. A wait MATLAB stops raises the interrupted error; one
// Octave stops answers NaN, and Octave stops the script as the call returns.
void wait_and_answer(int nlhs, mxArray *plhs[], double t, double spin, std::int64_t now,
                     std::int64_t frequency, const char *interrupted_id);

}  // namespace mextime

#endif
