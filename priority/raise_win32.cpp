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

void raise_process() { SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS); }

void raise_calling_thread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

}  // namespace mextime
