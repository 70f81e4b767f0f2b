// sleep's wait on Linux: to an absolute CLOCK_MONOTONIC deadline, the
// counter's own clock, taken as the call starts; in slices, so that the host
// is heard while it waits, and with the CPUs kept ready to wake only for the
// last of them.
#include "counter.h"
#include "interrupt.h"
#include "monotonic_linux.h"
#include "timer.h"

namespace mextime {

constexpr std::int64_t SLICE_NS = static_cast<std::int64_t>(SLICE_SECONDS * NANOSECONDS_PER_SECOND);
constexpr std::int64_t PROMPT_NS = static_cast<std::int64_t>(PROMPT_SECONDS * NANOSECONDS_PER_SECOND);

constexpr std::int64_t NS_PER_MS = NANOSECONDS_PER_SECOND / MS_PER_SECOND;

PlannedWait plan_wait(std::uint32_t ms) { return {read_counter() + ms * NS_PER_MS, ms}; }

HostStop wait_planned(PlannedWait wait, ResolutionRelease &release) {
    // As planned: the first slice counts from the call's start.
    std::int64_t now = wait.deadline - wait.ms * NS_PER_MS;
    // A wait too short to be stopped by hand does not ask.
    const InterruptSource host = wait.deadline - now > SLICE_NS ? find_interrupt_source() : InterruptSource{};
    // At least one sleep: a 0 ms wait yields, as the platform's sleep does.
    do {
        if (wait.ms > 0 && wait.deadline - now <= PROMPT_NS) request_prompt_wakeup(release);
        sleep_until(wait.deadline - now > SLICE_NS ? now + SLICE_NS : wait.deadline);
        now = read_counter();
        HostStop stop = host_stop(host);
        if (stop == HostStop::Signal) {
            // Octave's response may end the process: nothing is left held.
            release_resolution(release);
            do stop = respond_to_signal(host);
            while (stop == HostStop::Signal);
            release = request_resolution();
        }
        if (stop != HostStop::None) return stop;
    } while (now < wait.deadline);
    return HostStop::None;
}

}  // namespace mextime
