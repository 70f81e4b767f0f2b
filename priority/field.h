// Reading a standing's fields back: each must be a whole number in its range.
#ifndef MEXTIME_PRIORITY_FIELD_H
#define MEXTIME_PRIORITY_FIELD_H

#include <cstdint>

namespace mextime {

// NaN fails the comparisons; the range is checked before the conversion,
// which would be undefined outside it.
inline bool whole_in(double value, int low, int high, int &out) {
    if (!(value >= low && value <= high)) return false;
    out = static_cast<int>(value);
    return out == value;
}

// The same for a field wider than an int, such as a set of bits; every
// bound is below 2^53, where a double still holds each whole number.
inline bool whole_in(double value, std::int64_t low, std::int64_t high, std::int64_t &out) {
    if (!(value >= static_cast<double>(low) && value <= static_cast<double>(high))) return false;
    out = static_cast<std::int64_t>(value);
    return static_cast<double>(out) == value;
}

}  // namespace mextime

#endif
