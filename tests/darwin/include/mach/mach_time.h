// Stand-in of macOS's <mach/mach_time.h>, declared as macOS declares it;
// tests/darwin/mach_standin.cpp defines the calls.
#ifndef MEXTIME_STANDIN_MACH_MACH_TIME_H
#define MEXTIME_STANDIN_MACH_MACH_TIME_H

#include <mach/kern_return.h>
#include <stdint.h>

struct mach_timebase_info {
    uint32_t numer;
    uint32_t denom;
};
typedef struct mach_timebase_info *mach_timebase_info_t;
typedef struct mach_timebase_info mach_timebase_info_data_t;

extern "C" {
kern_return_t mach_timebase_info(mach_timebase_info_t info);
kern_return_t mach_wait_until(uint64_t deadline);
uint64_t mach_absolute_time(void);
}

#endif
