// Stand-in of macOS's <sys/sysctl.h>: the one call the Darwin files make,
// as the SDK declares it. tests/darwin/mach_standin.cpp defines it.
#ifndef MEXTIME_STANDIN_SYS_SYSCTL_H
#define MEXTIME_STANDIN_SYS_SYSCTL_H

#include <stddef.h>

extern "C" int sysctlbyname(const char *, void *, size_t *, void *, size_t);

#endif
