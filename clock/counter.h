// The platform's high-resolution counter, as clockread reads it: a tick rate
// and a tick count, each a signed 64-bit integer. Every function that works
// on clockread's timebase reads it here.
#ifndef MEXTIME_CLOCK_COUNTER_H
#define MEXTIME_CLOCK_COUNTER_H

#include <cstdint>

namespace mextime {

// Ticks per second; false where the counter cannot be queried.
bool query_frequency(std::int64_t &ticks_per_second);

// The counter now, in ticks; 0 should the read fail.
std::int64_t read_counter();

// Ticks in seconds, as clockread answers them: each converted to double,
// then divided. Every answer on clockread's timebase comes from here.
inline double seconds(std::int64_t ticks, std::int64_t frequency) {
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}

}  // namespace mextime

#endif
