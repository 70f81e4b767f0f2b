// Stand-in of macOS's <mach/mach.h>: the thread calls the Darwin files
// make, declared as macOS's <mach/thread_act.h> declares them.
#ifndef MEXTIME_STANDIN_MACH_MACH_H
#define MEXTIME_STANDIN_MACH_MACH_H

#include <mach/kern_return.h>
#include <mach/mach_time.h>
#include <mach/thread_policy.h>

typedef natural_t mach_port_t;
typedef mach_port_t thread_act_t;
typedef mach_port_t thread_inspect_t;

extern "C" {
kern_return_t thread_policy_set(thread_act_t thread, thread_policy_flavor_t flavor,
                                thread_policy_t policy_info, mach_msg_type_number_t policy_infoCnt);
kern_return_t thread_policy_get(thread_inspect_t thread, thread_policy_flavor_t flavor,
                                thread_policy_t policy_info, mach_msg_type_number_t *policy_infoCnt,
                                boolean_t *get_default);
}

#endif
