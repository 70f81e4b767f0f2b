// sleep's wait on POSIX systems: to the absolute deadline on the counter's
// own clock that the call's start planned (monotonic_<system>.cpp); in
// slices, so that the host is heard while it waits, with the CPUs kept
// ready to wake only for the last of them, and the bracket released just
// before the deadline, which is then read off the counter.
#include "counter.h"
#include "interrupt.h"
#include "monotonic.h"
#include "timer.h"

namespace mextime {

// How long before the planned end the timer stops, so that the release
// (the PM QoS request closed, the slack given back) is not spent after the
// wake-up: about what it costs, and less than the timer's own lateness.
constexpr double RELEASE_LEAD_SECONDS = 5e-6;

HostStop wait_planned(PlannedWait wait, ResolutionRelease &release) {
    // Taken here, not in the plan: the deadline is set, so this costs the
    // call nothing.
    const std::int64_t rate = ticks_per_second();
    const auto slice = static_cast<std::int64_t>(SLICE_SECONDS * static_cast<double>(rate));
    const auto prompt = static_cast<std::int64_t>(PROMPT_SECONDS * static_cast<double>(rate));
    // As planned: the first slice counts from the call's start.
    std::int64_t now = wait.deadline - ms_ticks(wait.ms, rate);
    const std::int64_t end = wait.deadline;
    wait.deadline -= static_cast<std::int64_t>(RELEASE_LEAD_SECONDS * static_cast<double>(rate));
    // A wait too short to be stopped by hand does not ask.
    const InterruptSource host = wait.deadline - now > slice ? find_interrupt_source() : InterruptSource{};
    // At least one sleep: a 0 ms wait yields, as the platform's sleep does.
    HostStop stop = HostStop::None;
    do {
        if (wait.ms > 0 && wait.deadline - now <= prompt) request_prompt_wakeup(release);
        sleep_until(wait.deadline - now > slice ? now + slice : wait.deadline);
        now = read_counter();
        stop = host_stop(host);
        if (stop == HostStop::Signal) {
            // Octave's response may end the process: nothing is left held.
            release_resolution(release);
            do stop = respond_to_signal(host);
            while (stop == HostStop::Signal);
            release = request_resolution();
        }
    } while (stop == HostStop::None && now < wait.deadline);
    release_resolution(release);  // before the end: see RELEASE_LEAD_SECONDS
    if (stop == HostStop::None)
        while (now < end) now = read_counter();
    return stop;
}

}  // namespace mextime
