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

// Linux: while armed, getrlimit reports these RLIMIT_RTPRIO and RLIMIT_NICE
// limits, and setpriority and pthread_setschedparam refuse what a caller
// without CAP_SYS_NICE would be refused under them. Negative limits: off.
void spy_limit_priority(int rtprio, int nice);

#endif
