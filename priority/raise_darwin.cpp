// Raising on macOS, which has no real-time class for a process: the process
// step asks for nice -20, which only root is granted (anyone else keeps the
// nice value they have), and the thread step puts the calling thread under
// the time-constraint policy, the one macOS gives audio threads, which any
// account may take. Each says whether it obtained anything. A
// time-constraint thread that runs about a second without blocking is
// demoted to timeshare by the kernel's fail-safe for twice that; waits
// block.
#include "priority.h"
#include "scheduling_darwin.h"

namespace mextime {
namespace {

// Fit for a loop that wakes every millisecond (waituntil to t0 + k ms): the
// thread runs once per period, needs at most half of it on the CPU for the
// script's own work and the wait's final spin, and must have had it within
// the period. Preemptible, a longer stretch (a plot, a file written) is
// interrupted by the system's own real-time work rather than holding it off.
// macOS takes a computation of 50 us to 50 ms, no longer than the
// constraint and, since macOS 12, at least half of it (a shorter one it
// lengthens to half).
constexpr std::uint64_t PERIOD_NS = 1000000;
constexpr std::uint64_t COMPUTATION_NS = 500000;
constexpr std::uint64_t CONSTRAINT_NS = 1000000;
constexpr boolean_t PREEMPTIBLE = 1;

}  // namespace

static_assert(DARWIN_FIELDS <= MAX_STANDING_FIELDS, "a standing holds the Darwin layout");

bool read_standing(Standing &standing) {
    int nice;
    thread_time_constraint_policy_data_t policy{};
    bool on = false;
    if (!read_nice(nice) || !read_time_constraint(policy, on)) return false;
    if (!on) policy = {};
    const QosClass qos = read_class();
    standing.count = DARWIN_FIELDS;
    standing.fields[MARKER_FIELD] = DARWIN_MARKER;
    standing.fields[NICE_FIELD] = nice;
    standing.fields[PERIOD_FIELD] = policy.period;
    standing.fields[COMPUTATION_FIELD] = policy.computation;
    standing.fields[CONSTRAINT_FIELD] = policy.constraint;
    standing.fields[PREEMPTIBLE_FIELD] = policy.preemptible ? 1 : 0;
    standing.fields[CLASS_FIELD] = qos.cls;
    standing.fields[RELATIVE_PRIORITY_FIELD] = qos.relative_priority;
    return true;
}

const char NOT_GRANTED_MESSAGE[] =
    "No higher priority was granted: macOS refused the time-constraint policy and nice -20; "
    "help rtboost tells more.";

// Asking for -20 can never weaken the process.
bool raise_process() {
    setpriority(PRIO_PROCESS, 0, STRONGEST_NICE);
    int nice;
    return read_nice(nice) && nice < 0;
}

// A time constraint the thread already runs under (an audio thread's) is
// kept as it is. A refused one leaves the class as it was.
bool raise_calling_thread() {
    thread_time_constraint_policy_data_t current{};
    bool on = false;
    if (read_time_constraint(current, on) && on) return true;
    const QosClass qos = read_class();
    if (set_time_constraint({ns_ticks(PERIOD_NS), ns_ticks(COMPUTATION_NS), ns_ticks(CONSTRAINT_NS), PREEMPTIBLE}) !=
        KERN_SUCCESS)
        return false;
    give_back_class(qos);
    return true;
}

}  // namespace mextime
