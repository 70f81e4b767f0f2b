// Reading a standing's fields back: each must be a whole number in its range.
#ifndef MEXTIME_PRIORITY_FIELD_H
#define MEXTIME_PRIORITY_FIELD_H

namespace mextime {

// NaN fails the comparisons; the range is checked before the conversion,
// which would be undefined outside it.
inline bool whole_in(double value, int low, int high, int &out) {
    if (!(value >= low && value <= high)) return false;
    out = static_cast<int>(value);
    return out == value;
}

}  // namespace mextime

#endif
