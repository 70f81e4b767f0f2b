// Stand-in of macOS's <mach/thread_policy.h>: the policies the Darwin files
// set, with macOS's flavors, layouts and counts.
#ifndef MEXTIME_STANDIN_MACH_THREAD_POLICY_H
#define MEXTIME_STANDIN_MACH_THREAD_POLICY_H

#include <mach/task_policy.h>
#include <stdint.h>

typedef int integer_t;
typedef unsigned int natural_t;
typedef int boolean_t;
typedef natural_t mach_msg_type_number_t;
typedef natural_t thread_policy_flavor_t;
typedef integer_t *thread_policy_t;

#define THREAD_STANDARD_POLICY 1
#define THREAD_STANDARD_POLICY_COUNT 0

#define THREAD_EXTENDED_POLICY 1
struct thread_extended_policy {
    boolean_t timeshare;
};
typedef struct thread_extended_policy thread_extended_policy_data_t;
#define THREAD_EXTENDED_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_extended_policy_data_t) / sizeof(integer_t)))

#define THREAD_TIME_CONSTRAINT_POLICY 2
struct thread_time_constraint_policy {
    uint32_t period;
    uint32_t computation;
    uint32_t constraint;
    boolean_t preemptible;
};
typedef struct thread_time_constraint_policy thread_time_constraint_policy_data_t;
#define THREAD_TIME_CONSTRAINT_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_time_constraint_policy_data_t) / sizeof(integer_t)))

#define THREAD_PRECEDENCE_POLICY 3
struct thread_precedence_policy {
    integer_t importance;
};
typedef struct thread_precedence_policy thread_precedence_policy_data_t;
#define THREAD_PRECEDENCE_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_precedence_policy_data_t) / sizeof(integer_t)))

#define THREAD_LATENCY_QOS_POLICY 7
typedef integer_t thread_latency_qos_t;
struct thread_latency_qos_policy {
    thread_latency_qos_t thread_latency_qos_tier;
};
typedef struct thread_latency_qos_policy thread_latency_qos_policy_data_t;
#define THREAD_LATENCY_QOS_POLICY_COUNT \
    ((mach_msg_type_number_t)(sizeof(thread_latency_qos_policy_data_t) / sizeof(integer_t)))

#endif
