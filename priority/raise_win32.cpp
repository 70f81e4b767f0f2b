// Raising on Windows: the real-time class for the process, then the
// time-critical level for the calling thread.
#include "priority.h"
#include "standing_win32.h"

#include <windows.h>

namespace mextime {

bool read_standing(Standing &standing) {
    const DWORD priority_class = GetPriorityClass(GetCurrentProcess());
    const int level = GetThreadPriority(GetCurrentThread());
    if (priority_class == 0 || level == THREAD_PRIORITY_ERROR_RETURN) return false;
    standing.count = WIN32_FIELDS;
    standing.fields[MARKER_FIELD] = WIN32_MARKER;
    standing.fields[CLASS_FIELD] = priority_class;
    standing.fields[LEVEL_FIELD] = level;
    return true;
}

const char NOT_GRANTED_MESSAGE[] =
    "No higher priority was granted: Windows refused both the priority class and the thread's level; "
    "help rtboost tells more.";

// Without administrator rights Windows grants the high class in place of
// the real-time one.
bool raise_process() {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    const DWORD now = GetPriorityClass(GetCurrentProcess());
    return now == REALTIME_PRIORITY_CLASS || now == HIGH_PRIORITY_CLASS || now == ABOVE_NORMAL_PRIORITY_CLASS;
}

bool raise_calling_thread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const int now = GetThreadPriority(GetCurrentThread());
    return now != THREAD_PRIORITY_ERROR_RETURN && now > THREAD_PRIORITY_NORMAL;
}

}  // namespace mextime
