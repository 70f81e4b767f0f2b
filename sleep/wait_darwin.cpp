// sleep's wait on macOS: to an absolute mach_absolute_time deadline, the
// counter's own clock, taken as the call starts; in slices, so that the
// host is heard while it waits.
#include "counter.h"
#include "interrupt.h"
#include "mach_darwin.h"
#include "timer.h"

namespace mextime {

// ms milliseconds in ticks; rate / 1000 is whole at every rate macOS has
// (24 MHz, 1 GHz), and the rest keeps it exact at any other.
static std::int64_t ms_ticks(std::uint32_t ms, std::int64_t rate) {
    return rate / MS_PER_SECOND * ms + rate % MS_PER_SECOND * ms / MS_PER_SECOND;
}

PlannedWait plan_wait(std::uint32_t ms) { return {read_counter() + ms_ticks(ms, ticks_per_second()), ms}; }

HostStop wait_planned(PlannedWait wait, ResolutionRelease &release) {
    const std::int64_t rate = ticks_per_second();
    const auto slice = static_cast<std::int64_t>(SLICE_SECONDS * static_cast<double>(rate));
    // As planned: the first slice counts from the call's start.
    std::int64_t now = wait.deadline - ms_ticks(wait.ms, rate);
    // A wait too short to be stopped by hand does not ask.
    const InterruptSource host = wait.deadline - now > slice ? find_interrupt_source() : InterruptSource{};
    // At least one wait: a 0 ms wait yields, as the platform's sleep does.
    do {
        sleep_until(wait.deadline - now > slice ? now + slice : wait.deadline);
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
