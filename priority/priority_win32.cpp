// Priority on Windows: the process's priority class and the thread's level.
#include "priority.h"

#include <windows.h>

namespace mextime {

void raise_process() { SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS); }

void raise_calling_thread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

}  // namespace mextime
