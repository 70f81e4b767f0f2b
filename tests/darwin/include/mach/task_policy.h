// Stand-in of macOS's <mach/task_policy.h>: the latency QoS tiers, with
// macOS's values.
#ifndef MEXTIME_STANDIN_MACH_TASK_POLICY_H
#define MEXTIME_STANDIN_MACH_TASK_POLICY_H

enum {
    LATENCY_QOS_TIER_UNSPECIFIED = 0x0,
    LATENCY_QOS_TIER_0 = ((0xFF << 16) | 1),
    LATENCY_QOS_TIER_1 = ((0xFF << 16) | 2),
    LATENCY_QOS_TIER_2 = ((0xFF << 16) | 3),
    LATENCY_QOS_TIER_3 = ((0xFF << 16) | 4),
    LATENCY_QOS_TIER_4 = ((0xFF << 16) | 5),
    LATENCY_QOS_TIER_5 = ((0xFF << 16) | 6)
};

#endif
