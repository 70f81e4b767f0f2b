// The Mach calls the Darwin files make, stood in for on Linux: a counter at
// 24 MHz (the 125/3 timebase of Apple silicon) read from CLOCK_MONOTONIC,
// waits to its deadlines, and the calling thread's policies kept as macOS
// keeps them. Each call is recorded with its arguments, so that tests check
// what the files asked of macOS, in order.
#ifndef MEXTIME_TESTS_DARWIN_MACH_STANDIN_H
#define MEXTIME_TESTS_DARWIN_MACH_STANDIN_H

#include <mach/mach.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

constexpr std::uint32_t APPLE_SILICON_NUMER = 125, APPLE_SILICON_DENOM = 3;

// Back to Apple silicon's timebase, an unheld clock, the default policies
// and no recorded calls.
void reset();

// What mach_timebase_info answers, and its result.
void set_timebase(std::uint32_t numer, std::uint32_t denom, kern_return_t result = KERN_SUCCESS);

// The counter reads exactly this until released.
void hold_counter(std::uint64_t ticks);
void release_counter();
// The counter as the stand-in reads it, unrecorded.
std::uint64_t counter_now();

// The next `count` calls of mach_wait_until return KERN_ABORTED at once,
// as when a signal breaks the wait off.
void abort_waits(int count);

// clock_getres(CLOCK_REALTIME) answers this many nanoseconds (macOS: 1000);
// 0: fails; -1: Linux's own answer.
void set_realtime_resolution(long ns);

// The process's nice value as getpriority answers it, and whether
// setpriority grants a stronger one (root) or refuses it (anyone else).
void set_nice(int nice, bool privileged);
int nice();

// Records an event of the test's own among the calls.
void note(const char *event);

// The calls made since the last reset or take, as "name(arguments)".
std::vector<std::string> take_calls();

// The calling thread's policies as the stand-in keeps them.
struct ThreadPolicies {
    bool time_constraint;  // otherwise timeshare
    thread_time_constraint_policy_data_t constraint;
    thread_latency_qos_t latency_tier;
    integer_t importance;
};
ThreadPolicies thread_policies();

}  // namespace standin

#endif
