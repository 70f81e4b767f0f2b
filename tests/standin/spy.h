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

// Makes reading the calling thread's priority fail while armed (Linux
// sched_getscheduler, Windows GetThreadPriority).
void spy_fail_priority_read(int fail);
int spy_priority_read_fails();

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

// Replay: from spy_replay_start to spy_replay_stop, the counter is virtual,
// for the test and the MEX file alike. Each reading answers it and moves
// it on by step_ticks; each timer wait returns at once, with the counter at
// the wait's deadline plus the next of the wake-ups given (in ticks), or
// plus 0 once they are used up: a timer whose every wake-up a test scripts,
// however slow the machine or its checker.
void spy_replay_start(const long long *late_ticks, int count, long long start_ticks, long long step_ticks);
void spy_replay_stop();
// The virtual counter now; moved on by a pause.
long long spy_replay_now();
void spy_replay_pause(long long ticks);
// For the platform spies: the counter's reading, and a timer wait's end.
bool spy_replay_counter(long long &ticks);
bool spy_replay_timer(long long deadline_ticks);
// The deadline of the last timer wait as the MEX file asked for it, in
// seconds on clockread's timebase.
void spy_note_deadline(double seconds);
double spy_last_deadline();
// The counter's reading, in seconds, when the PM QoS request was last held
// (Linux).
void spy_note_latency_held(double seconds);
double spy_latency_held_at();

#endif
