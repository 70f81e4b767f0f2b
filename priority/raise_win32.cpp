// Raising on Windows: the real-time class for the process, then the
// time-critical level for the calling thread.
#include "priority.h"

#include <windows.h>

namespace mextime {

void raise_process() { SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS); }

void raise_calling_thread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

}  // namespace mextime
