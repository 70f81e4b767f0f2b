// Stand-in of macOS's <mach/mach_time.h>: <mach/mach.h> declares it all here.
#include <mach/mach.h>
