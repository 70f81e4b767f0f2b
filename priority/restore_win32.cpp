// Restoring on Windows: the normal class, then the normal level.
#include "priority.h"

#include <windows.h>

namespace mextime {

void restore_process() { SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS); }

void restore_calling_thread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL); }

}  // namespace mextime
