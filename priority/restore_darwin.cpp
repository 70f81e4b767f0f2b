// Restoring on macOS: nice 0 for a process raised above it, then the
// ordinary timeshare policy for the calling thread, neither of which needs a
// privilege. Or a standing read before a raise: the process's nice value
// (only root may go back to a stronger one), then the thread's policy.
#include "field.h"
#include "priority.h"
#include "scheduling_darwin.h"

#include <climits>

namespace mextime {

// A positive nice value is the user's own choice and stays.
void restore_process() {
    int nice;
    if (read_nice(nice) && nice < 0) setpriority(PRIO_PROCESS, 0, 0);
}

void restore_calling_thread() { set_timeshare(); }

bool accept_standing(const double *values, std::size_t count, Standing &standing) {
    if (count != DARWIN_FIELDS || values[MARKER_FIELD] != DARWIN_MARKER) return false;
    int nice, on, period, computation, constraint, preemptible;
    if (!whole_in(values[NICE_FIELD], STRONGEST_NICE, WEAKEST_NICE, nice) ||
        !whole_in(values[TIME_CONSTRAINT_FIELD], 0, 1, on) || !whole_in(values[PERIOD_FIELD], 0, INT_MAX, period) ||
        !whole_in(values[COMPUTATION_FIELD], 0, INT_MAX, computation) ||
        !whole_in(values[CONSTRAINT_FIELD], 0, INT_MAX, constraint) ||
        !whole_in(values[PREEMPTIBLE_FIELD], 0, 1, preemptible))
        return false;
    standing.count = count;
    for (std::size_t i = 0; i < count; ++i) standing.fields[i] = values[i];
    return true;
}

void restore_process(const Standing &standing) {
    setpriority(PRIO_PROCESS, 0, static_cast<int>(standing.fields[NICE_FIELD]));
}

// A time constraint macOS refuses leaves the thread as rtboost made it.
void restore_calling_thread(const Standing &standing) {
    if (standing.fields[TIME_CONSTRAINT_FIELD] == 0) {
        set_timeshare();
        return;
    }
    set_time_constraint({static_cast<std::uint32_t>(standing.fields[PERIOD_FIELD]),
                         static_cast<std::uint32_t>(standing.fields[COMPUTATION_FIELD]),
                         static_cast<std::uint32_t>(standing.fields[CONSTRAINT_FIELD]),
                         static_cast<boolean_t>(standing.fields[PREEMPTIBLE_FIELD])});
}

}  // namespace mextime
