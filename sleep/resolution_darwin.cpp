// The resolution bracket on macOS, which has no system-wide timer
// resolution either: the calling thread's latency QoS at tier 0, the lowest,
// for exactly the wait. macOS coalesces the timers of a thread at a higher
// tier (or none) with others', to wake the CPUs less often; at tier 0 they
// fire at their deadline. The thread's own tier is given back after.
#include "timer.h"

#include <mach/mach.h>
#include <pthread.h>

namespace mextime {

// macOS offers a process no request that keeps the CPUs out of deep idle
// states; ResolutionRelease's latency_request stays at this.
constexpr int NO_PROMPT_REQUEST = -1;

static thread_act_t calling_thread() { return pthread_mach_thread_np(pthread_self()); }

static void set_latency_tier(thread_latency_qos_t tier) {
    thread_latency_qos_policy_data_t policy{tier};
    thread_policy_set(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&policy),
                      THREAD_LATENCY_QOS_POLICY_COUNT);
}

// The thread's tier travels in prior_slack, Linux's field for what it gives
// back; unreadable, it is taken as none set.
ResolutionRelease request_resolution() {
    thread_latency_qos_policy_data_t prior{LATENCY_QOS_TIER_UNSPECIFIED};
    mach_msg_type_number_t count = THREAD_LATENCY_QOS_POLICY_COUNT;
    boolean_t get_default = 0;
    if (thread_policy_get(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&prior),
                          &count, &get_default) != KERN_SUCCESS)
        prior.thread_latency_qos_tier = LATENCY_QOS_TIER_UNSPECIFIED;
    set_latency_tier(LATENCY_QOS_TIER_0);
    return {static_cast<unsigned long>(static_cast<unsigned>(prior.thread_latency_qos_tier)), NO_PROMPT_REQUEST};
}

void request_prompt_wakeup(ResolutionRelease &) {}

void release_resolution(ResolutionRelease release) {
    set_latency_tier(static_cast<thread_latency_qos_t>(release.prior_slack));
}

}  // namespace mextime
