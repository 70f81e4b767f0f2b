// Observes the platform and host calls a MEX file makes while the spy is
// armed, as short normalised events ("frequency", "create", "wait(5)"), so
// one suite checks the same order on every platform. An event carries its
// argument only where it differs from what the function must pass.
#ifndef MEXTIME_TESTS_SPY_H
#define MEXTIME_TESTS_SPY_H

#include <vector>

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

// What the platform refuses while the spy is armed, as the bits set in
// spy_refusals say (Windows and Linux alike where not named):
enum {
    SPY_FREQUENCY = 1,         // the counter-frequency query
    SPY_PRIORITY_READ = 2,     // the calling thread's priority (sched_getscheduler, GetThreadPriority)
    SPY_BEFORE_WINDOWS_8 = 4,  // Windows: the calls looked up at run time, as before Windows 8
                               // (GetSystemTimePreciseAsFileTime, SetProcessInformation)
    SPY_LIBUT = 8,             // Windows: libut.dll to GetModuleHandleW, as in Octave
    SPY_HIGH_RESOLUTION = 16,  // Windows: the high-resolution timer, as before Windows 10 1803
    SPY_LATENCY = 32,          // Linux: /dev/cpu_dma_latency, as to an ordinary user
    SPY_LATENCY_WRITE = 64,    // Linux: the PM QoS request's write, after its open (EINVAL)
    SPY_TIMER_SET = 128,       // Windows: SetWaitableTimer, after the timer was made
    // Windows: timeBeginPeriod and timeEndPeriod, as for a period out of
    // range (TIMERR_NOCANDO); Linux: the read of the thread's timer slack,
    // as a seccomp filter refuses prctl (EPERM).
    SPY_RESOLUTION = 256,
    SPY_TIME_STEP = 512,       // Windows: GetSystemTimeAdjustment, the older UTC clock's step
    // The priority calls:
    SPY_PROCESS_READ = 1 << 10,  // each thread's nice value (getpriority), the class (GetPriorityClass)
    SPY_PROCESS_SET = 1 << 11,   // setpriority, SetPriorityClass
    SPY_THREAD_SET = 1 << 12,    // pthread_setschedparam, SetThreadPriority
    SPY_PARAM_READ = 1 << 13,    // Linux: sched_getparam
    SPY_LIMITS = 1 << 14,        // Linux: getrlimit of RLIMIT_NICE and RLIMIT_RTPRIO
    SPY_THREAD_LIST = 1 << 15,   // Linux: /proc/self/task, as if /proc were not mounted
    SPY_OTHERS_GONE = 1 << 16,   // Linux: every other thread ends as it is read or set (ESRCH)
    SPY_THROTTLING_READ = 1 << 17,  // Windows: the power throttling state, as before Windows 11 22H2
    SPY_ELEVATION = 1 << 18,        // Windows: the token's elevation, as to an account not run as administrator
};
extern int spy_refusals;
bool spy_refuses(int what);

// Windows: the waitable timers the MEX file made and has not closed, and
// its timer-resolution requests granted and not ended. Linux leaves both 0.
extern int spy_timers_open, spy_periods_held;

// While armed, UTC clock read k (from 0) takes spy_utc_delays[k]
// microseconds longer, half before the reading and half after it, so that
// tries differ in width.
extern std::vector<int> spy_utc_delays;
// The counter readings just before and after each UTC clock read made while
// armed, in the counter's ticks, and the POSIX seconds it read.
struct SpyPair {
    long long before, after;
    double utc;
};
enum { SPY_MAX_PAIRS = 64 };
extern SpyPair spy_pairs[SPY_MAX_PAIRS];
extern int spy_pair_count;
// For the platform spies: each counter reading as it is made, and each UTC
// clock read before it is made, which returns the microseconds to spin on
// either side of it, and once made, with what it read.
void spy_saw_counter(long long ticks);
int spy_utc_read();
void spy_saw_utc(double posix_seconds);

// An ordinary account while armed. Linux: getrlimit reports these
// RLIMIT_RTPRIO and RLIMIT_NICE limits, and setpriority and
// pthread_setschedparam refuse what a caller without CAP_SYS_NICE would be
// refused under them. Windows (any limit): an account without the privilege
// to raise scheduling priority, which is given the high class for the
// real-time one. Negative limits: off; SPY_UNLIMITED: RLIM_INFINITY, which
// limits nothing.
enum { SPY_UNLIMITED = 0x7fffffff };
void spy_limit_priority(int rtprio, int nice);

// Replay: while on, the counter is virtual, for the test and the MEX file
// alike. Each reading answers `now` and moves it on by `step`; each timer
// wait returns at once, with the counter at the wait's deadline plus a
// lateness (in ticks), and `woke` at that reading: a timer whose every
// wake-up a test scripts, however slow the machine or its checker.
// - By count: the next of `late`, or 0 once they are used up.
// - By time, where `slots` is not empty: a recorded trace, one lateness per
//   slot of `slot` ticks from `start`, or SPY_NOT_WAITED where the recording
//   made no wait, the slot being inside a late wake-up before it (the format
//   bench/record_wakeups.m writes from a real Octave loop). A wait
//   whose deadline falls in a slot is late by its value; in a SPY_NOT_WAITED
//   slot, by what is left of the wake-up before it; past the trace, not at all.
enum : long long { SPY_NOT_WAITED = -1 };
struct SpyReplay {
    bool on;
    long long now, step;
    std::vector<long long> late;
    std::size_t next;
    std::vector<long long> slots;
    long long slot, start;
    long long woke;
};
extern SpyReplay spy_replay;
// For the platform spies: the counter's reading, and a timer wait's end.
bool spy_replay_counter(long long &ticks);
bool spy_replay_timer(long long deadline_ticks);

// Octave's signal flag as Octave 9 and later define it, one byte
// (std::atomic<bool>, liboctave/util/quit.cc), then a guard where others'
// data would be, which a MEX file must leave as it is.
struct SpyOctaveSignal {
    volatile unsigned char caught;
    volatile unsigned char guard[3];
};
constexpr unsigned char SPY_GUARD = 0x5a;
// Octave's Ctrl+C flag (an int) and its flag of another signal, as a MEX
// file finds them in Octave. Linux: the test program exports them, as
// liboctave does, with Octave's own check, which records "handle_signal".
// Windows: a DLL exports them, and libut.dll is hidden from then on.
struct SpyOctaveFlags {
    volatile int *interrupt;
    SpyOctaveSignal *signal;
};
SpyOctaveFlags spy_octave_flags();

// The message of the last warning the MEX file gave while armed ("" if
// none); its identifier is the event "warning(ID)".
extern char spy_last_warning[512];
void spy_saw_warning(const char *message);

// Noted by the platform spies: the deadline of the last timer wait as the
// MEX file asked for it, in seconds on clockread's timebase; the counter's
// reading, in seconds, when the PM QoS request was last held (Linux).
extern double spy_last_deadline, spy_latency_held_at;

#endif
