// Stand-in of macOS's <mach/kern_return.h>: the results the Darwin files
// tell apart, with macOS's values.
#ifndef MEXTIME_STANDIN_MACH_KERN_RETURN_H
#define MEXTIME_STANDIN_MACH_KERN_RETURN_H

typedef int kern_return_t;

#define KERN_SUCCESS 0
#define KERN_INVALID_ARGUMENT 4
#define KERN_FAILURE 5
#define KERN_ABORTED 14

#endif
