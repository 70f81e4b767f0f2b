// Restoring on macOS: nice 0 for a process raised above it, then the
// ordinary timeshare policy for the calling thread, neither of which needs a
// privilege. Or a standing read before a raise: the process's nice value
// (only root may go back to a stronger one), then the thread's policy and
// its QoS class, which macOS gives back to dispatch's threads alone.
#include "field.h"
#include "priority.h"
#include "scheduling_darwin.h"

#include <climits>

namespace mextime {
namespace {

// The classes pthread_set_qos_class_self_np takes, and none.
bool is_class(int value) {
    switch (value) {
    case QOS_CLASS_UNSPECIFIED:
    case QOS_CLASS_BACKGROUND:
    case QOS_CLASS_UTILITY:
    case QOS_CLASS_DEFAULT:
    case QOS_CLASS_USER_INITIATED:
    case QOS_CLASS_USER_INTERACTIVE: return true;
    default: return false;
    }
}

}  // namespace

// A positive nice value is the user's own choice and stays.
void restore_process() {
    int nice;
    if (read_nice(nice) && nice < 0) setpriority(PRIO_PROCESS, 0, 0);
}

void restore_calling_thread() {
    const QosClass qos = read_class();
    if (set_timeshare()) give_back_class(qos);
}

// The earlier layout is taken as the same standing without a class, which
// leaves the thread's as it is.
bool accept_standing(const double *values, std::size_t count, Standing &standing) {
    double fields[DARWIN_FIELDS] = {};
    if (count == DARWIN_FIELDS && values[MARKER_FIELD] == DARWIN_MARKER) {
        for (std::size_t i = 0; i < count; ++i) fields[i] = values[i];
    } else if (count == EARLIER_DARWIN_FIELDS && values[MARKER_FIELD] == EARLIER_DARWIN_MARKER) {
        int on;
        if (!whole_in(values[EARLIER_ON_FIELD], 0, 1, on)) return false;
        fields[MARKER_FIELD] = DARWIN_MARKER;
        fields[NICE_FIELD] = values[NICE_FIELD];
        for (std::size_t i = PERIOD_FIELD; i <= PREEMPTIBLE_FIELD; ++i) fields[i] = on ? values[i + 1] : 0;
    } else {
        return false;
    }
    int nice, period, computation, constraint, preemptible, cls, relative_priority;
    if (!whole_in(fields[NICE_FIELD], STRONGEST_NICE, WEAKEST_NICE, nice) ||
        !whole_in(fields[PERIOD_FIELD], 0, INT_MAX, period) ||
        !whole_in(fields[COMPUTATION_FIELD], 0, INT_MAX, computation) ||
        !whole_in(fields[CONSTRAINT_FIELD], 0, INT_MAX, constraint) ||
        !whole_in(fields[PREEMPTIBLE_FIELD], 0, 1, preemptible) ||
        !whole_in(fields[CLASS_FIELD], QOS_CLASS_UNSPECIFIED, QOS_CLASS_USER_INTERACTIVE, cls) || !is_class(cls) ||
        !whole_in(fields[RELATIVE_PRIORITY_FIELD], QOS_MIN_RELATIVE_PRIORITY, 0, relative_priority))
        return false;
    standing.count = DARWIN_FIELDS;
    for (std::size_t i = 0; i < DARWIN_FIELDS; ++i) standing.fields[i] = fields[i];
    return true;
}

void restore_process(const Standing &standing) {
    setpriority(PRIO_PROCESS, 0, static_cast<int>(standing.fields[NICE_FIELD]));
}

// A time constraint macOS refuses leaves the thread as rtboost made it. The
// class comes last: each policy set takes it away.
void restore_calling_thread(const Standing &standing) {
    if (standing.fields[COMPUTATION_FIELD] == 0)
        set_timeshare();
    else
        set_time_constraint({static_cast<std::uint32_t>(standing.fields[PERIOD_FIELD]),
                             static_cast<std::uint32_t>(standing.fields[COMPUTATION_FIELD]),
                             static_cast<std::uint32_t>(standing.fields[CONSTRAINT_FIELD]),
                             static_cast<boolean_t>(standing.fields[PREEMPTIBLE_FIELD])});
    give_back_class({static_cast<qos_class_t>(standing.fields[CLASS_FIELD]),
                     static_cast<int>(standing.fields[RELATIVE_PRIORITY_FIELD])});
}

}  // namespace mextime
