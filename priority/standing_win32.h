// A standing on Windows: the process's priority class, as the number
// GetPriorityClass answers (0x20 normal, 0x100 real-time, ...), then the
// calling thread's level (-15 to 15).
#ifndef MEXTIME_PRIORITY_STANDING_WIN32_H
#define MEXTIME_PRIORITY_STANDING_WIN32_H

#include <cstddef>

namespace mextime {

constexpr double WIN32_MARKER = 1001;
constexpr std::size_t MARKER_FIELD = 0, CLASS_FIELD = 1, LEVEL_FIELD = 2, WIN32_FIELDS = 3;

}  // namespace mextime

#endif
