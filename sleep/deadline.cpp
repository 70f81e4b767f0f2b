// The wait of waituntil and delay, and the spin it learns.
#include "deadline.h"

#include "counter.h"
#include "timer.h"

#include <limits>

namespace mextime {
namespace {

// The learned spin, decided by replaying wake-ups recorded on a 2-core VM
// (tests/standin/traces): late wake-ups come in bursts there, and one that
// came later than the spin is often followed by more within a second.
// - Its base is SPIN_MARGIN times the second largest of the last 128
//   wake-ups: a lone outlier does not move it.
// - A wake-up later than the spin the call used raises the spin at once to
//   SPIN_MARGIN times that wake-up; the raise halves every
//   SURGE_HALVING_SECONDS after it.
// - A wake-up later than the longest spin (a stall, which no spin catches)
//   starts a noisy phase: a wait that ends within NOISY_SECONDS of it spins
//   the longest.
constexpr int WAKE_RECORD_SIZE = 128;
constexpr double SPIN_MARGIN = 3;
constexpr double SURGE_HALVING_SECONDS = 0.6;
// Long enough to cover the next few waits of a 1 kHz loop.
constexpr double NOISY_SECONDS = 0.01;
// Below this the spin would save little CPU, and a timer's own jitter is of
// this order even on a quiet machine.
constexpr double LEAST_SPIN_SECONDS = 20e-6;
// A record older than this may no longer describe the machine (the first
// wake-ups after an idle spell came later there), so learning starts over.
constexpr double CALM_SECONDS = 1;

// How late the timer woke and was closed, in ticks past its deadline, in
// the last waits that used it, and what the last bursts left. It lives as
// long as the loaded file.
struct WakeRecord {
    std::int64_t late[WAKE_RECORD_SIZE];
    int count;
    int next;
    std::int64_t last_wake;    // stalls included
    std::int64_t surge;        // the raise, in ticks of spin
    std::int64_t surge_at;     // when it was raised
    std::int64_t noisy_until;  // the end of the noisy phase
};

WakeRecord wakes;

void remember_wake(std::int64_t late, double spin_used, std::int64_t now, std::int64_t frequency) {
    wakes.last_wake = now;
    if (seconds(late, frequency) > default_spin_seconds()) {
        wakes.noisy_until = now + static_cast<std::int64_t>(NOISY_SECONDS * static_cast<double>(frequency));
        return;
    }
    wakes.late[wakes.next] = late;
    wakes.next = (wakes.next + 1) % WAKE_RECORD_SIZE;
    if (wakes.count < WAKE_RECORD_SIZE) ++wakes.count;
    if (seconds(late, frequency) > spin_used) {
        wakes.surge = static_cast<std::int64_t>(SPIN_MARGIN * static_cast<double>(late));
        wakes.surge_at = now;
    }
}

// The first counter reading that clockread would answer as `at` (> 0) or
// more. Truncated, then stepped up: no libm call.
std::int64_t first_tick_at(double at, std::int64_t frequency) {
    std::int64_t ticks = static_cast<std::int64_t>(at * static_cast<double>(frequency));
    while (seconds(ticks, frequency) < at) ++ticks;
    return ticks;
}

}  // namespace

double learned_spin(double t, std::int64_t now, std::int64_t frequency) {
    const double most = default_spin_seconds();
    if (seconds(now - wakes.last_wake, frequency) > CALM_SECONDS) {
        wakes.count = wakes.next = 0;
        wakes.surge = 0;
        wakes.noisy_until = 0;
    }
    if (wakes.count == 0 || t < seconds(wakes.noisy_until, frequency)) return most;
    // The second largest; the only one while there is one.
    std::int64_t first = -1, second = -1;
    for (int i = 0; i < wakes.count; ++i) {
        if (wakes.late[i] > first) {
            second = first;
            first = wakes.late[i];
        } else if (wakes.late[i] > second) {
            second = wakes.late[i];
        }
    }
    double spin = SPIN_MARGIN * seconds(wakes.count > 1 ? second : first, frequency);
    if (spin < LEAST_SPIN_SECONDS) spin = LEAST_SPIN_SECONDS;
    // The raise, halved for each SURGE_HALVING_SECONDS since it was made: a
    // few turns at most, as the least spin ends them.
    double surge = seconds(wakes.surge, frequency);
    const auto halving = static_cast<std::int64_t>(SURGE_HALVING_SECONDS * static_cast<double>(frequency));
    for (std::int64_t since = now - wakes.surge_at; since >= halving && surge > spin; since -= halving) surge /= 2;
    if (surge > spin) spin = surge;
    return spin > most ? most : spin;
}

HostStop wait_until(double t, double spin, std::int64_t &now, std::int64_t frequency) {
    // The timer, until spin before t, in slices short enough to hear the
    // host. A wait too short to be stopped by hand does not ask.
    if (seconds(now, frequency) < t - spin) {
        const std::int64_t wake = first_tick_at(t - spin, frequency);
        const auto slice = static_cast<std::int64_t>(SLICE_SECONDS * static_cast<double>(frequency));
        const auto prompt = static_cast<std::int64_t>(PROMPT_SECONDS * static_cast<double>(frequency));
        const InterruptSource host = wake - now > slice ? find_interrupt_source() : InterruptSource{};
        Timer timer = open_timer();
        while (now < wake) {
            if (wake - now <= prompt) prompt_timer(timer);
            timer_wait(timer, wake - now > slice ? now + slice : wake, now, frequency);
            now = read_counter();
            HostStop stop = host_stop(host);
            if (stop == HostStop::Signal) {
                // Octave's response may end the process: nothing is left held.
                close_timer(timer);
                do stop = respond_to_signal(host);
                while (stop == HostStop::Signal);
                timer = open_timer();  // for the rest of the wait
            }
            if (stop != HostStop::None) {
                close_timer(timer);
                return stop;
            }
        }
        // What the close costs comes out of the spin too.
        close_timer(timer);
        now = read_counter();
        remember_wake(now - wake, spin, now, frequency);
    }
    // The rest by reading the counter, with a pause between reads.
    while (seconds(now, frequency) < t) {
        cpu_pause();
        now = read_counter();
    }
    return HostStop::None;
}

double requested_spin(int nrhs, const mxArray *prhs[], double t, std::int64_t now, std::int64_t frequency,
                      const char *invalid_spin_id) {
    if (nrhs < 2) return learned_spin(t, now, frequency);
    const double spin = is_real_double_scalar(prhs[1]) ? *mxGetPr(prhs[1]) : -1;
    if (!(spin >= 0 && spin <= MAX_SPIN_SECONDS))
        mexErrMsgIdAndTxt(invalid_spin_id, "Spin must be a number of seconds from 0 to 1.");
    return spin;
}

void wait_and_answer(int nlhs, mxArray *plhs[], double t, double spin, std::int64_t now,
                     std::int64_t frequency, const char *interrupted_id) {
    // Slot 0 is filled even when nlhs is 0: the host returns it as ans.
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    double *answer = mxGetPr(plhs[0]);
    if (nlhs > 1) {
        plhs[1] = mxCreateDoubleMatrix(1, 1, mxREAL);
        *mxGetPr(plhs[1]) = spin;
    }
    switch (wait_until(t, spin, now, frequency)) {
    case HostStop::Error:
        // No answer: an interrupted call never returns before t.
        mexErrMsgIdAndTxt(interrupted_id, "Interrupted before the deadline.");
    case HostStop::None:
        *answer = seconds(now, frequency);
        break;
    default:
        *answer = std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace mextime
