// The resolution bracket on macOS, which has no system-wide timer
// resolution either: the calling thread's latency tier, by which macOS lets
// its timers fire late to coalesce them with others' (by an eighth of the
// time left, at most 1 ms at tier 0; at most 5 ms at tier 1, which the
// user-initiated and default QoS classes imply). For exactly the wait the
// thread is at tier 0, the lowest, and as it was afterwards.
//
// Any thread_policy_set takes the thread's QoS class away, and macOS
// refuses a plain thread its class back (pthread/qos.h), lowering its
// priority for good: a thread with a class takes user-interactive instead,
// which implies tier 0 and is pthread's own call, and its class back after.
// Only a thread with no class left asks for the tier itself.
#include "timer.h"

#include <mach/mach.h>
#include <pthread.h>
#include <pthread/qos.h>

namespace mextime {
namespace {

// macOS offers a process no request that keeps the CPUs out of deep idle
// states; ResolutionRelease's latency_request stays at this.
constexpr int NO_PROMPT_REQUEST = -1;

// What the release gives back travels in prior_slack, Linux's field for
// it: a latency tier in its low 32 bits, or, marked above them, a class and
// its relative priority, or nothing.
constexpr unsigned long TIER_MARK = 0, CLASS_MARK = 1ul << 32, NOTHING_MARK = 2ul << 32, MARKS = 3ul << 32;
constexpr unsigned CLASS_SHIFT = 8;
constexpr unsigned long BYTE = 0xFF;

thread_act_t calling_thread() { return pthread_mach_thread_np(pthread_self()); }

void set_latency_tier(thread_latency_qos_t tier) {
    thread_latency_qos_policy_data_t policy{tier};
    thread_policy_set(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&policy),
                      THREAD_LATENCY_QOS_POLICY_COUNT);
}

// The thread's own tier; unreadable, it is taken as none set.
unsigned long raise_latency_tier() {
    thread_latency_qos_policy_data_t prior{LATENCY_QOS_TIER_UNSPECIFIED};
    mach_msg_type_number_t count = THREAD_LATENCY_QOS_POLICY_COUNT;
    boolean_t get_default = 0;
    if (thread_policy_get(calling_thread(), THREAD_LATENCY_QOS_POLICY, reinterpret_cast<thread_policy_t>(&prior),
                          &count, &get_default) != KERN_SUCCESS)
        prior.thread_latency_qos_tier = LATENCY_QOS_TIER_UNSPECIFIED;
    set_latency_tier(LATENCY_QOS_TIER_0);
    return TIER_MARK | static_cast<unsigned>(prior.thread_latency_qos_tier);
}

}  // namespace

// pthread's copy of the class outlives a Mach call that took the class
// away: refused user-interactive (EPERM), the thread has none left to lose.
ResolutionRelease request_resolution() {
    qos_class_t cls = QOS_CLASS_UNSPECIFIED;
    int relative_priority = 0;
    if (pthread_get_qos_class_np(pthread_self(), &cls, &relative_priority) != 0) cls = QOS_CLASS_UNSPECIFIED;
    if (cls == QOS_CLASS_USER_INTERACTIVE) return {NOTHING_MARK, NO_PROMPT_REQUEST};
    if (cls != QOS_CLASS_UNSPECIFIED && pthread_set_qos_class_self_np(QOS_CLASS_USER_INTERACTIVE, 0) == 0)
        return {CLASS_MARK | static_cast<unsigned long>(cls) << CLASS_SHIFT |
                    static_cast<unsigned long>(-relative_priority),
                NO_PROMPT_REQUEST};
    return {raise_latency_tier(), NO_PROMPT_REQUEST};
}

void request_prompt_wakeup(ResolutionRelease &) {}

void release_resolution(ResolutionRelease release) {
    const unsigned long mark = release.prior_slack & MARKS;
    if (mark == CLASS_MARK)
        pthread_set_qos_class_self_np(static_cast<qos_class_t>(release.prior_slack >> CLASS_SHIFT & BYTE),
                                      -static_cast<int>(release.prior_slack & BYTE));
    else if (mark == TIER_MARK)
        set_latency_tier(static_cast<thread_latency_qos_t>(release.prior_slack & ~MARKS));
}

}  // namespace mextime
