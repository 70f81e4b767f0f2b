// Stand-in of macOS's Mach headers (<mach/mach.h>, <mach/mach_time.h>) and
// of the Mach port <pthread.h> adds there: what the Darwin files use, with
// macOS's values, layouts and declarations (mach/kern_return.h, policy.h,
// thread_info.h, thread_policy.h, task_policy.h, mach_time.h and
// thread_act.h of the SDK). tests/darwin/mach_standin.cpp defines the calls.
#ifndef MEXTIME_STANDIN_MACH_MACH_H
#define MEXTIME_STANDIN_MACH_MACH_H

#include <pthread.h>
#include <stdint.h>

typedef int kern_return_t;
#define KERN_SUCCESS 0
#define KERN_INVALID_ARGUMENT 4
#define KERN_FAILURE 5
#define KERN_ABORTED 14
#define KERN_INVALID_POLICY 28

typedef int integer_t;
typedef int boolean_t;
typedef unsigned int natural_t;
typedef natural_t mach_port_t, thread_act_t, thread_inspect_t, mach_msg_type_number_t, thread_policy_flavor_t,
    thread_flavor_t;
typedef integer_t *thread_policy_t, *thread_info_t;
typedef int policy_t;

struct mach_timebase_info {
    uint32_t numer, denom;
};
typedef struct mach_timebase_info *mach_timebase_info_t, mach_timebase_info_data_t;

#define THREAD_STANDARD_POLICY 1
#define THREAD_STANDARD_POLICY_COUNT 0

#define THREAD_EXTENDED_POLICY 1
typedef struct thread_extended_policy {
    boolean_t timeshare;
} thread_extended_policy_data_t;
#define THREAD_EXTENDED_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_extended_policy_data_t) / sizeof(integer_t)))

#define THREAD_TIME_CONSTRAINT_POLICY 2
typedef struct thread_time_constraint_policy {
    uint32_t period, computation, constraint;
    boolean_t preemptible;
} thread_time_constraint_policy_data_t;
#define THREAD_TIME_CONSTRAINT_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_time_constraint_policy_data_t) / sizeof(integer_t)))

#define THREAD_LATENCY_QOS_POLICY 7
typedef integer_t thread_latency_qos_t;
typedef struct thread_latency_qos_policy {
    thread_latency_qos_t thread_latency_qos_tier;
} thread_latency_qos_policy_data_t;
#define THREAD_LATENCY_QOS_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_latency_qos_policy_data_t) / sizeof(integer_t)))
enum {
    LATENCY_QOS_TIER_UNSPECIFIED = 0,
    LATENCY_QOS_TIER_0 = (0xFF << 16) | 1,
    LATENCY_QOS_TIER_1 = (0xFF << 16) | 2,
    LATENCY_QOS_TIER_3 = (0xFF << 16) | 4,
    LATENCY_QOS_TIER_5 = (0xFF << 16) | 6
};

#define POLICY_TIMESHARE 1
#define POLICY_RR 2

typedef struct time_value {
    integer_t seconds, microseconds;
} time_value_t;

#define THREAD_BASIC_INFO 3
typedef struct thread_basic_info {
    time_value_t user_time, system_time;
    integer_t cpu_usage;
    policy_t policy;
    integer_t run_state, flags, suspend_count, sleep_time;
} thread_basic_info_data_t;
#define THREAD_BASIC_INFO_COUNT ((mach_msg_type_number_t)(sizeof(thread_basic_info_data_t) / sizeof(natural_t)))

extern "C" {
kern_return_t mach_timebase_info(mach_timebase_info_t info);
uint64_t mach_absolute_time(void);
kern_return_t mach_wait_until(uint64_t deadline);
kern_return_t thread_policy_set(thread_act_t thread, thread_policy_flavor_t flavor,
                                thread_policy_t policy_info, mach_msg_type_number_t policy_infoCnt);
kern_return_t thread_policy_get(thread_inspect_t thread, thread_policy_flavor_t flavor,
                                thread_policy_t policy_info, mach_msg_type_number_t *policy_infoCnt,
                                boolean_t *get_default);
kern_return_t thread_info(thread_inspect_t target_act, thread_flavor_t flavor, thread_info_t thread_info_out,
                          mach_msg_type_number_t *thread_info_outCnt);
mach_port_t pthread_mach_thread_np(pthread_t thread);
}

#endif
