// The millisecond wait on Windows.
#include "timer.h"

#include <windows.h>

namespace mextime {

void wait_ms(std::uint32_t ms) { Sleep(ms); }

}  // namespace mextime
