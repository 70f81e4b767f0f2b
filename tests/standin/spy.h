// Observes the platform and host calls a MEX file makes while the spy is
// armed, as short normalised events ("frequency", "create", "wait(5)"), so
// one suite checks the same order on every platform. An event carries its
// argument only where it differs from what the function must pass.
#ifndef MEXTIME_TESTS_SPY_H
#define MEXTIME_TESTS_SPY_H

enum { SPY_MAX_EVENTS = 4096, SPY_EVENT_SIZE = 64 };

// Windows: patches the loaded module's import table. ELF: nothing to do,
// the test program interposes the calls by name.
void spy_attach(void *module);
void spy_arm();
// Stops recording; returns the number of events, readable with spy_event.
int spy_disarm();
const char *spy_event(int index);
void spy_record(const char *format, ...);
int spy_armed();

// Makes the counter-frequency query fail while armed.
void spy_fail_frequency(int fail);
// True while armed with the frequency query set to fail.
int spy_frequency_fails();

// While armed, UTC clock read k (from 0) takes microseconds[k] longer, half
// before the reading and half after it, so that tries differ in width.
void spy_slow_utc(const int *microseconds, int count);
// The counter readings just before and after each UTC clock read made while
// armed, in the counter's ticks, and the POSIX seconds it read; returns their
// number.
struct SpyPair {
    long long before, after;
    double utc;
};
int spy_utc_pairs(SpyPair *pairs, int capacity);
// For the platform spies: each counter reading as it is made, and each UTC
// clock read before it is made, which returns the microseconds to spin on
// either side of it, and once made, with what it read.
void spy_saw_counter(long long ticks);
int spy_utc_read();
void spy_saw_utc(double posix_seconds);

// Windows: while armed, GetProcAddress finds no GetSystemTimePreciseAsFileTime,
// as before Windows 8.
void spy_refuse_precise_time(int refuse);

// Linux: while armed, getrlimit reports these RLIMIT_RTPRIO and RLIMIT_NICE
// limits, and setpriority and pthread_setschedparam refuse what a caller
// without CAP_SYS_NICE would be refused under them. Negative limits: off.
void spy_limit_priority(int rtprio, int nice);

// Windows: while armed, GetModuleHandleW finds no libut.dll, as in Octave.
void spy_hide_libut(int hide);

// Windows: while armed, CreateWaitableTimerExW refuses the high-resolution
// flag, as before Windows 10 1803.
void spy_refuse_high_resolution_timer(int refuse);

// Linux: while armed, opening /dev/cpu_dma_latency fails as for an
// ordinary user; otherwise the spy stands in for the device.
void spy_refuse_latency(int refuse);

// While armed and late_ns is 0 or more, each timer wait (Linux
// clock_nanosleep, Windows the wait on a waitable timer) ends late_ns after
// its deadline, by a busy-wait in the spy, and the counter reads exactly
// that instant until the first reading after the timer's bracket is
// released (Linux) or the timer closed (Windows): a timer as prompt or as
// late as a test needs, whose wake-up and release take no time. -1: the
// platform's own timer.
void spy_time_timer(long long late_ns);
long long spy_timer_lateness();
// The reading the counter is held at, in its own ticks; false when none.
void spy_hold_counter(long long ticks);
void spy_release_counter();
bool spy_held_counter(long long &ticks);
// The deadline of the last timer wait as the MEX file asked for it, in
// seconds on clockread's timebase.
void spy_note_deadline(double seconds);
double spy_last_deadline();

#endif
