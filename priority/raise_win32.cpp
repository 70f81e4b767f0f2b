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
    "No higher priority was granted: Windows refused both a higher priority class (SetPriorityClass) "
    "and the time-critical thread level (SetThreadPriority); help rtboost says what grants them.";

namespace {

bool above_normal(DWORD priority_class) {
    return priority_class == REALTIME_PRIORITY_CLASS || priority_class == HIGH_PRIORITY_CLASS ||
           priority_class == ABOVE_NORMAL_PRIORITY_CLASS;
}

}  // namespace

// Without the privilege to raise scheduling priority Windows grants the
// high class in place of the real-time one, even to a process that already
// has the real-time class, which asking again would lower. Where the class
// cannot be read back, the call's own answer tells.
bool raise_process() {
    const HANDLE process = GetCurrentProcess();
    const bool granted = GetPriorityClass(process) == REALTIME_PRIORITY_CLASS ||
                         SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    const DWORD now = GetPriorityClass(process);
    return now == 0 ? granted : above_normal(now);
}

bool raise_calling_thread() {
    const bool granted = SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const int now = GetThreadPriority(GetCurrentThread());
    return now == THREAD_PRIORITY_ERROR_RETURN ? granted : now > THREAD_PRIORITY_NORMAL;
}

}  // namespace mextime
