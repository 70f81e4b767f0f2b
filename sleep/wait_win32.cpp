// sleep's wait on Windows: Sleep counts its milliseconds itself.
#include "timer.h"

#include <windows.h>

namespace mextime {

PlannedWait plan_wait(std::uint32_t ms) { return {0, ms}; }

void wait_planned(PlannedWait wait) { Sleep(wait.ms); }

}  // namespace mextime
