// The resolution bracket on Linux, which has no system-wide timer
// resolution: 1 ns of timer slack for the thread, and a PM QoS request that
// keeps the CPUs out of sleep states too deep to wake from at once.
#include "timer.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace mextime {

// A thread's timer slack is how late its sleeps may end. 1 ns is the least,
// as 0 means "the default".
constexpr unsigned long TIMER_SLACK_NS = 1;

// The PM QoS interface: while a 32-bit latency in us written to it is held
// open, no CPU sleeps deeper than it can wake from in that time. Closing the
// file (or the process ending) drops the request.
constexpr char CPU_LATENCY_DEVICE[] = "/dev/cpu_dma_latency";
constexpr std::int32_t NO_WAKEUP_LATENCY_US = 0;
// No request yet; refused once, it is not asked for again within the call.
constexpr int LATENCY_NOT_ASKED = -1;
constexpr int LATENCY_REFUSED = -2;

// An ordinary user or a container without the device gets no request, and
// the wait goes on as before.
static int request_wakeup_latency() {
    const int request = open(CPU_LATENCY_DEVICE, O_WRONLY | O_CLOEXEC);
    if (request < 0) return -1;
    if (write(request, &NO_WAKEUP_LATENCY_US, sizeof NO_WAKEUP_LATENCY_US) !=
        static_cast<ssize_t>(sizeof NO_WAKEUP_LATENCY_US)) {
        close(request);
        return -1;
    }
    return request;
}

ResolutionRelease request_resolution() {
    const int prior = prctl(PR_GET_TIMERSLACK);
    prctl(PR_SET_TIMERSLACK, TIMER_SLACK_NS);
    // Should the read fail, the release falls back to the default slack.
    return {prior > 0 ? static_cast<unsigned long>(prior) : 0, LATENCY_NOT_ASKED};
}

void request_prompt_wakeup(ResolutionRelease &release) {
    if (release.latency_request == LATENCY_NOT_ASKED) {
        const int request = request_wakeup_latency();
        release.latency_request = request >= 0 ? request : LATENCY_REFUSED;
    }
}

void release_resolution(ResolutionRelease release) {
    if (release.latency_request >= 0) close(release.latency_request);
    prctl(PR_SET_TIMERSLACK, release.prior_slack);
}

}  // namespace mextime
