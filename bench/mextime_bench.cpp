// The C++ side of scripts/bench. Prints "name value" lines.
//   mextime_bench clockread FILE  ns per call of the MEX file FILE in the
//                                 stand-in host, against the same work done
//                                 in the host itself; least steps between calls
//   mextime_bench floor MS WAITS [latency]
//                                 overshoot in us of WAITS bare
//                                 absolute-deadline waits of MS ms; with
//                                 "latency", while a PM QoS request of 0 us
//                                 is held, as sleep holds it
//   mextime_bench waituntil WAITUNTIL SLEEP WAITS
//                                 in the stand-in host, taking turns: the
//                                 overshoot in us past t of waituntil(now +
//                                 2 ms) and of sleep(2), one pair a line;
//                                 then the CPU time of 10 ms waituntil waits
//                                 as a share of the wait, default spin and 0
//   mextime_bench loop WAITUNTIL STEPS
//                                 a 1 kHz loop of STEPS waituntil(t0 + k ms)
//                                 calls in the stand-in host, with the
//                                 learned spin and with a fixed 0.5 ms: the
//                                 CPU share of each, and each step's
//                                 lateness after the return in us
//   mextime_bench gaps SLEEP HELD WAITS
//                                 sleep(n) and HELD's wait of n ms, taking
//                                 turns with 3 ms idle before each, n = 1,
//                                 2, 5, 10: each wait's overshoot in us
//   mextime_bench aftercost WAITS SLEEP...
//                                 sleep(1) in the stand-in host and a bare
//                                 absolute 1 ms clock_nanosleep with 1 ns
//                                 slack, taking turns: each one's overshoot
//                                 in us, a line a turn; then, in ns, the
//                                 median cost of each step of sleep's
//                                 bracket: the slack set and given back,
//                                 the PM QoS request written and closed
//   mextime_bench clockutc FILE   the MEX file FILE's pairing over 1,000
//                                 calls in the stand-in host: its median and
//                                 p99 uncertainty, the spread of utc - t,
//                                 and a bare single pair's half-width
//   mextime_bench busy SECONDS    a CPU-bound loop that ends by itself
#include "array.h"
#include "loader.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
mxArray_tag *mxCreateDoubleMatrix_700(int m, int n, int flag);
double *mxGetPr(const mxArray_tag *array);
}

namespace {

constexpr int64_t kNsPerSecond = 1000000000;
constexpr int64_t kNsPerMs = 1000000;
constexpr long kCallsPerRun = 100000;
constexpr int kRuns = 51;
constexpr long kStepCalls = 200000;
constexpr int kClockutcCalls = 1000;

int64_t now_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

// Time this thread has run: what a call costs, without the time other
// processes on a shared machine take the core away.
int64_t cpu_ns() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return int64_t(used.tv_sec) * kNsPerSecond + used.tv_nsec;
}

timespec to_timespec(int64_t ns) {
    return timespec{time_t(ns / kNsPerSecond), long(ns % kNsPerSecond)};
}

// The least any clockread must do, with the MEX entry's shape so that both
// are called the same way: one CLOCK_MONOTONIC reading, and the answer in
// seconds in a new 1x1 array.
void baseline(int, mxArray_tag *plhs[], int, const mxArray_tag *[]) {
    const int64_t now = now_ns();
    plhs[0] = mxCreateDoubleMatrix_700(1, 1, 0);
    *mxGetPr(plhs[0]) = double(now) / double(kNsPerSecond);
}

// Calls as MATLAB does for t = f(): one output slot, no inputs; the host
// frees each answer, as the script would drop it.
__attribute__((noinline)) double ns_per_call(mexhost::MexEntry entry, long calls) {
    // Read once through volatile so that the compiler cannot inline the baseline.
    mexhost::MexEntry volatile chosen = entry;
    mexhost::MexEntry call = chosen;
    mxArray_tag *slots[1];
    const int64_t start = cpu_ns();
    for (long i = 0; i < calls; ++i) {
        slots[0] = nullptr;
        call(1, slots, 0, nullptr);
        mexhost::destroy_array(slots[0]);
    }
    return double(cpu_ns() - start) / double(calls);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The least nonzero difference between consecutive answers, in ns.
double least_step_ns(mexhost::MexEntry entry) {
    double least = 0;
    double previous = 0;
    for (long i = 0; i <= kStepCalls; ++i) {
        mxArray_tag *slots[1] = {nullptr};
        entry(1, slots, 0, nullptr);
        const double t = *mxGetPr(slots[0]);
        mexhost::destroy_array(slots[0]);
        const double step = (t - previous) * double(kNsPerSecond);
        if (i > 0 && step > 0 && (least == 0 || step < least)) least = step;
        previous = t;
    }
    return least;
}

int64_t least_clock_step_ns() {
    int64_t least = 0;
    int64_t previous = now_ns();
    for (long i = 0; i < kStepCalls; ++i) {
        const int64_t t = now_ns();
        if (t > previous && (least == 0 || t - previous < least)) least = t - previous;
        previous = t;
    }
    return least;
}

int bench_clockread(const std::string &path) {
    mexhost::Module module(path);
    if (!module.loaded()) {
        std::fprintf(stderr, "mextime_bench: %s\n", module.error().c_str());
        return 1;
    }
    // Warm up both, then alternate runs so that both see the same noise.
    ns_per_call(module.entry(), kCallsPerRun / 10);
    ns_per_call(baseline, kCallsPerRun / 10);
    std::vector<double> deliverable, bare;
    for (int run = 0; run < kRuns; ++run) {
        deliverable.push_back(ns_per_call(module.entry(), kCallsPerRun));
        bare.push_back(ns_per_call(baseline, kCallsPerRun));
    }
    timespec resolution{};
    clock_getres(CLOCK_MONOTONIC, &resolution);
    std::printf("standin_clockread_ns %.2f\n", median(deliverable));
    std::printf("standin_baseline_ns %.2f\n", median(bare));
    std::printf("standin_runs %d\nstandin_calls_per_run %ld\n", kRuns, kCallsPerRun);
    std::printf("standin_clockread_step_ns %.1f\n", least_step_ns(module.entry()));
    std::printf("standin_clock_step_ns %lld\n", static_cast<long long>(least_clock_step_ns()));
    std::printf("clock_getres_ns %lld\n",
                static_cast<long long>(resolution.tv_sec * kNsPerSecond + resolution.tv_nsec));
    return 0;
}

// The platform's best: an absolute deadline with the least timer slack.
// Prints each wait's overshoot in us.
int bench_floor(int ms, int waits, bool latency) {
    int request = -1;
    if (latency) {
        const int32_t no_latency = 0;
        request = open("/dev/cpu_dma_latency", O_WRONLY | O_CLOEXEC);
        if (request < 0 || write(request, &no_latency, sizeof no_latency) != sizeof no_latency) {
            std::fputs("mextime_bench: /dev/cpu_dma_latency cannot be written\n", stderr);
            return 1;
        }
    }
    prctl(PR_SET_TIMERSLACK, 1UL);
    if (prctl(PR_GET_TIMERSLACK) != 1) {
        std::fputs("mextime_bench: the timer slack cannot be set to 1 ns\n", stderr);
        return 1;
    }
    for (int k = 0; k < waits; ++k) {
        const int64_t deadline = now_ns() + ms * kNsPerMs;
        const timespec until = to_timespec(deadline);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
        std::printf("%.3f\n", double(now_ns() - deadline) / 1e3);
    }
    if (request >= 0) close(request);
    return 0;
}

double seconds_now() { return double(now_ns()) / double(kNsPerSecond); }

// One call of entry with scalar inputs, the answer dropped.
void call_with(mexhost::MexEntry entry, std::vector<double> inputs) {
    std::vector<mxArray_tag *> arrays;
    for (double value : inputs) {
        arrays.push_back(mxCreateDoubleMatrix_700(1, 1, 0));
        *mxGetPr(arrays.back()) = value;
    }
    mxArray_tag *slots[1] = {nullptr};
    entry(1, slots, int(arrays.size()), const_cast<const mxArray_tag **>(arrays.data()));
    mexhost::destroy_array(slots[0]);
    for (mxArray_tag *array : arrays) mexhost::destroy_array(array);
}

int bench_waituntil(const std::string &waituntil_path, const std::string &sleep_path, int waits) {
    mexhost::Module waituntil(waituntil_path), sleep(sleep_path);
    if (!waituntil.loaded() || !sleep.loaded()) {
        std::fprintf(stderr, "mextime_bench: %s%s\n", waituntil.error().c_str(),
                     sleep.error().c_str());
        return 1;
    }
    for (int k = 0; k < waits; ++k) {
        const double t = seconds_now() + 0.002;
        call_with(waituntil.entry(), {t});
        const double waited = (seconds_now() - t) * 1e6;
        const double start = seconds_now();
        call_with(sleep.entry(), {2});
        std::printf("%.3f %.3f\n", waited, (seconds_now() - start - 0.002) * 1e6);
    }
    // CPU share, medians over 31 waits of 10 ms each.
    for (const char *spin : {"default", "0"}) {
        std::vector<double> shares;
        for (int k = 0; k < 31; ++k) {
            const int64_t cpu = cpu_ns(), wall = now_ns();
            const double t = seconds_now() + 0.010;
            if (spin[0] == '0')
                call_with(waituntil.entry(), {t, 0});
            else
                call_with(waituntil.entry(), {t});
            shares.push_back(double(cpu_ns() - cpu) / double(now_ns() - wall));
        }
        std::printf("cpu_share_%s %.4f\n", spin[0] == '0' ? "nospin" : "default", median(shares));
    }
    return 0;
}

// The README's 1 kHz loop: each step waits for its own deadline.
int bench_loop(const std::string &waituntil_path, int steps) {
    mexhost::Module waituntil(waituntil_path);
    if (!waituntil.loaded()) {
        std::fprintf(stderr, "mextime_bench: %s\n", waituntil.error().c_str());
        return 1;
    }
    for (const char *spin : {"learned", "fixed"}) {
        std::vector<double> late;
        const double t0 = seconds_now() + 0.001;
        const int64_t cpu = cpu_ns(), wall = now_ns();
        for (int k = 0; k < steps; ++k) {
            const double t = t0 + k * 0.001;
            if (spin[0] == 'f')
                call_with(waituntil.entry(), {t, 0.0005});
            else
                call_with(waituntil.entry(), {t});
            late.push_back((seconds_now() - t) * 1e6);
        }
        std::printf("loop_cpu_%s %.4f\n", spin, double(cpu_ns() - cpu) / double(now_ns() - wall));
        std::sort(late.begin(), late.end());
        std::printf("loop_p99_us_%s %.3f\n", spin, late[late.size() * 99 / 100]);
    }
    return 0;
}

// sleep against a wait that holds the PM QoS request for the whole run, as
// a script between trials calls them: overshoot past n ms, from the call.
int bench_gaps(const std::string &sleep_path, const std::string &held_path, int waits) {
    mexhost::Module sleep(sleep_path), held(held_path);
    if (!sleep.loaded() || !held.loaded()) {
        std::fprintf(stderr, "mextime_bench: %s%s\n", sleep.error().c_str(), held.error().c_str());
        return 1;
    }
    const timespec idle{0, 3 * kNsPerMs};
    for (int n : {1, 2, 5, 10}) {
        for (int k = 0; k < waits; ++k) {
            double over[2];
            for (int which = 0; which < 2; ++which) {
                nanosleep(&idle, nullptr);
                const double start = seconds_now();
                call_with((which ? held : sleep).entry(), {double(n)});
                over[which] = (seconds_now() - start) * 1e6 - n * 1000.0;
            }
            std::printf("%d %.3f %.3f\n", n, over[0], over[1]);
        }
    }
    return 0;
}

// sleep(1) against the floor's bare wait, one after the other, so that both
// see the same noise; then what each step of sleep's bracket costs. Further
// sleep files, variants under study, take their turns too.
int bench_aftercost(const std::vector<std::string> &paths, int waits) {
    std::vector<mexhost::Module *> sleeps;
    for (const std::string &path : paths) {
        sleeps.push_back(new mexhost::Module(path));
        if (!sleeps.back()->loaded()) {
            std::fprintf(stderr, "mextime_bench: %s\n", sleeps.back()->error().c_str());
            return 1;
        }
    }
    const int prior = prctl(PR_GET_TIMERSLACK);
    for (int k = 0; k < waits; ++k) {
        for (mexhost::Module *sleep : sleeps) {
            const double start = seconds_now();
            call_with(sleep->entry(), {1});
            std::printf("%.3f ", (seconds_now() - start - 0.001) * 1e6);
        }
        prctl(PR_SET_TIMERSLACK, 1UL);
        const int64_t deadline = now_ns() + kNsPerMs;
        const timespec until = to_timespec(deadline);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
        const double bare = double(now_ns() - deadline) / 1e3;
        prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(prior));
        std::printf("%.3f\n", bare);
    }
    for (mexhost::Module *sleep : sleeps) delete sleep;
    std::vector<double> slack, hold, drop;
    const int32_t no_latency = 0;
    for (int k = 0; k < 201; ++k) {
        int64_t start = now_ns();
        prctl(PR_SET_TIMERSLACK, 1UL);
        prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(prior));
        slack.push_back(double(now_ns() - start));
        start = now_ns();
        const int request = open("/dev/cpu_dma_latency", O_WRONLY | O_CLOEXEC);
        if (request < 0 || write(request, &no_latency, sizeof no_latency) != sizeof no_latency) {
            if (request >= 0) close(request);
            continue;
        }
        hold.push_back(double(now_ns() - start));
        start = now_ns();
        close(request);
        drop.push_back(double(now_ns() - start));
        // The other CPUs idle again before the next request.
        const timespec pause{0, kNsPerMs};
        nanosleep(&pause, nullptr);
    }
    std::printf("cost_slack_ns %.0f\n", median(slack));
    if (!hold.empty()) std::printf("cost_hold_ns %.0f\ncost_drop_ns %.0f\n", median(hold), median(drop));
    return 0;
}

// Nearest rank, of values already sorted.
double rank(const std::vector<double> &sorted, double fraction) {
    const std::size_t k = std::size_t(std::ceil(fraction * double(sorted.size())));
    return sorted[k > 0 ? k - 1 : 0];
}

int bench_clockutc(const std::string &path) {
    mexhost::Module module(path);
    if (!module.loaded()) {
        std::fprintf(stderr, "mextime_bench: %s\n", module.error().c_str());
        return 1;
    }
    std::vector<double> uncertainty, offset, bare;
    for (int k = 0; k < kClockutcCalls; ++k) {
        mxArray_tag *slots[3] = {nullptr, nullptr, nullptr};
        module.entry()(3, slots, 0, nullptr);
        uncertainty.push_back(*mxGetPr(slots[2]) * 1e9);
        // In seconds: in ns, a double near 1.8e18 would step by 256 ns.
        offset.push_back(*mxGetPr(slots[1]) - *mxGetPr(slots[0]));
        for (mxArray_tag *slot : slots) mexhost::destroy_array(slot);
        // The same pair read once, bare: what one try costs without the MEX file.
        timespec utc{};
        const int64_t before = now_ns();
        clock_gettime(CLOCK_REALTIME, &utc);
        bare.push_back(double(now_ns() - before) / 2);
    }
    for (auto *values : {&uncertainty, &offset, &bare}) std::sort(values->begin(), values->end());
    std::printf("clockutc_calls %d\n", kClockutcCalls);
    std::printf("clockutc_uncertainty_ns %.1f\n", median(uncertainty));
    std::printf("clockutc_uncertainty_p99_ns %.1f\n", rank(uncertainty, 0.99));
    std::printf("clockutc_bare_pair_ns %.1f\n", median(bare));
    std::printf("clockutc_spread_ns %.1f\n", (rank(offset, 0.99) - rank(offset, 0.01)) * 1e9);
    std::printf("clockutc_range_ns %.1f\n", (offset.back() - offset.front()) * 1e9);
    return 0;
}

int bench_busy(double seconds) {
    const int64_t end = now_ns() + int64_t(seconds * double(kNsPerSecond));
    volatile uint64_t spin = 0;
    while (now_ns() < end) {
        for (int i = 0; i < 10000; ++i) spin = spin + 1;
    }
    return 0;
}

int usage() {
    std::fputs("usage: mextime_bench clockread FILE | floor MS WAITS [latency] |\n"
               "       waituntil WAITUNTIL SLEEP WAITS | loop WAITUNTIL STEPS |\n"
               "       gaps SLEEP HELD WAITS | aftercost WAITS SLEEP... | clockutc FILE |\n"
               "       busy SECONDS\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "clockread" && argc == 3) return bench_clockread(argv[2]);
    if (command == "floor" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "latency")))
        return bench_floor(std::atoi(argv[2]), std::atoi(argv[3]), argc == 5);
    if (command == "waituntil" && argc == 5)
        return bench_waituntil(argv[2], argv[3], std::atoi(argv[4]));
    if (command == "loop" && argc == 4) return bench_loop(argv[2], std::atoi(argv[3]));
    if (command == "gaps" && argc == 5) return bench_gaps(argv[2], argv[3], std::atoi(argv[4]));
    if (command == "clockutc" && argc == 3) return bench_clockutc(argv[2]);
    if (command == "aftercost" && argc >= 4)
        return bench_aftercost(std::vector<std::string>(argv + 3, argv + argc), std::atoi(argv[2]));
    if (command == "busy" && argc == 3) return bench_busy(std::atof(argv[2]));
    return usage();
}
