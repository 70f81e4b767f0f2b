// The timer on Windows: the multimedia timer resolution and Sleep.
#include "timer.h"

#include <windows.h>
#include <mmsystem.h>

namespace mextime {

constexpr UINT TIMER_RESOLUTION_MS = 1;

Resolution request_resolution() {
    timeBeginPeriod(TIMER_RESOLUTION_MS);
    return {};
}

void release_resolution(Resolution) { timeEndPeriod(TIMER_RESOLUTION_MS); }

void wait_ms(std::uint32_t ms) { Sleep(ms); }

}  // namespace mextime
