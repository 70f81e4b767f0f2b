// The counter on Windows: QueryPerformanceCounter and its frequency.
#include "counter.h"

#include <windows.h>

namespace mextime {

bool query_frequency(std::int64_t &ticks_per_second) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return false;
    ticks_per_second = frequency.QuadPart;
    return true;
}

std::int64_t read_counter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

}  // namespace mextime
