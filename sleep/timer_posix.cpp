// The timer on Linux: timer slack for the resolution, and an absolute
// CLOCK_MONOTONIC deadline for the wait.
#include "timer.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

namespace mextime {

// Linux has no system-wide timer resolution; a thread's timer slack is how
// late its sleeps may end. 1 ns is the least, as 0 means "the default".
constexpr unsigned long TIMER_SLACK_NS = 1;
constexpr std::uint32_t MS_PER_SECOND = 1000;
constexpr long NS_PER_MS = 1000000;
constexpr long NS_PER_SECOND = 1000000000;

// The PM QoS interface: while a 32-bit latency in us written to it is held
// open, no CPU sleeps deeper than it can wake from in that time. Closing the
// file (or the process ending) drops the request.
constexpr char CPU_LATENCY_DEVICE[] = "/dev/cpu_dma_latency";
constexpr std::int32_t NO_WAKEUP_LATENCY_US = 0;

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

Resolution request_resolution(bool for_wait) {
    const int prior = prctl(PR_GET_TIMERSLACK);
    prctl(PR_SET_TIMERSLACK, TIMER_SLACK_NS);
    // Should the read fail, the release falls back to the default slack.
    return {prior > 0 ? static_cast<unsigned long>(prior) : 0,
            for_wait ? request_wakeup_latency() : -1};
}

void release_resolution(Resolution prior) {
    if (prior.latency_request >= 0) close(prior.latency_request);
    prctl(PR_SET_TIMERSLACK, prior.prior_slack);
}

// CLOCK_MONOTONIC counts in nanoseconds, as clockread reads it.
std::int64_t read_counter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * NS_PER_SECOND + now.tv_nsec;
}

std::int64_t counter_frequency() { return NS_PER_SECOND; }

void wait_until(std::int64_t deadline, std::int64_t) {
    const timespec until{static_cast<time_t>(deadline / NS_PER_SECOND),
                         static_cast<long>(deadline % NS_PER_SECOND)};
    const Resolution prior = request_resolution(true);
    // An absolute deadline: a signal's handler breaks the sleep off, and the
    // same deadline resumes it.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    release_resolution(prior);
}

// With 1 ns slack and the PM QoS request the timer wakes 40 us late at the
// median and within this at p99 on a 2-core VM; later wake-ups there were
// preemption, which no spin helps.
double default_spin_seconds() { return 0.0005; }

void cpu_pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

void wait_ms(std::uint32_t ms) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(ms / MS_PER_SECOND);
    deadline.tv_nsec += static_cast<long>(ms % MS_PER_SECOND) * NS_PER_MS;
    if (deadline.tv_nsec >= NS_PER_SECOND) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= NS_PER_SECOND;
    }
    // A signal handler breaks the sleep off; the same absolute deadline
    // resumes it, so no signal shortens the wait.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace mextime
