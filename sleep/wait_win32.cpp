// sleep's wait on Windows: Sleep counts its milliseconds itself, and is not
// broken off.
#include "interrupt.h"
#include "timer.h"

#include <windows.h>

namespace mextime {

PlannedWait plan_wait(std::uint32_t ms) { return {0, ms}; }

HostStop wait_planned(PlannedWait wait, ResolutionRelease &release) {
    Sleep(wait.ms);
    release_resolution(release);
    return HostStop::None;
}

}  // namespace mextime
