// The system's <pthread.h>, with what macOS's adds and the Darwin files
// use: the Mach port of a thread.
#ifndef MEXTIME_STANDIN_PTHREAD_H
#define MEXTIME_STANDIN_PTHREAD_H

#include_next <pthread.h>
#include <mach/mach.h>

extern "C" mach_port_t pthread_mach_thread_np(pthread_t thread);

#endif
