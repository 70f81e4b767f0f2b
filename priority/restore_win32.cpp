// Restoring on Windows: the normal class, then the normal level; or the
// class and the level of a standing read before a raise.
#include "field.h"
#include "priority.h"
#include "standing_win32.h"

#include <windows.h>

namespace mextime {
namespace {

bool is_class(int priority_class) {
    switch (priority_class) {
    case IDLE_PRIORITY_CLASS:
    case BELOW_NORMAL_PRIORITY_CLASS:
    case NORMAL_PRIORITY_CLASS:
    case ABOVE_NORMAL_PRIORITY_CLASS:
    case HIGH_PRIORITY_CLASS:
    case REALTIME_PRIORITY_CLASS: return true;
    default: return false;
    }
}

// The real-time class alone offers the levels from -7 to 6 besides the
// named ones.
constexpr int REALTIME_LOWEST_LEVEL = -7;
constexpr int REALTIME_HIGHEST_LEVEL = 6;

bool is_level(int level, int priority_class) {
    if (level == THREAD_PRIORITY_IDLE || level == THREAD_PRIORITY_TIME_CRITICAL) return true;
    if (priority_class == REALTIME_PRIORITY_CLASS)
        return level >= REALTIME_LOWEST_LEVEL && level <= REALTIME_HIGHEST_LEVEL;
    return level >= THREAD_PRIORITY_LOWEST && level <= THREAD_PRIORITY_HIGHEST;
}

}  // namespace

void restore_process() { SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS); }

void restore_calling_thread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL); }

bool accept_standing(const double *values, std::size_t count, Standing &standing) {
    if (count != WIN32_FIELDS || values[MARKER_FIELD] != WIN32_MARKER) return false;
    int priority_class, level;
    // 0x20 and 0x8000 are the smallest and the largest class values.
    if (!whole_in(values[CLASS_FIELD], NORMAL_PRIORITY_CLASS, ABOVE_NORMAL_PRIORITY_CLASS, priority_class) ||
        !is_class(priority_class) ||
        !whole_in(values[LEVEL_FIELD], THREAD_PRIORITY_IDLE, THREAD_PRIORITY_TIME_CRITICAL, level) ||
        !is_level(level, priority_class))
        return false;
    standing.count = count;
    for (std::size_t i = 0; i < count; ++i) standing.fields[i] = values[i];
    return true;
}

// A class the process still has is not asked for again: without the
// privilege, asking for the real-time class gives the high one.
void restore_process(const Standing &standing) {
    const HANDLE process = GetCurrentProcess();
    const DWORD priority_class = static_cast<DWORD>(standing.fields[CLASS_FIELD]);
    if (GetPriorityClass(process) != priority_class) SetPriorityClass(process, priority_class);
}

void restore_calling_thread(const Standing &standing) {
    SetThreadPriority(GetCurrentThread(), static_cast<int>(standing.fields[LEVEL_FIELD]));
}

}  // namespace mextime
