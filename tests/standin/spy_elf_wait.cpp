// ELF interposition of the calls a wait makes: the timer slack bracket, the
// PM QoS request and the sleep itself.
#include "spy.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

#define NEXT(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

timespec spy_last_monotonic();
long long nanoseconds(const timespec &t);

// The bracket's slack: 1 ns is the request; any other slack set while armed
// gives back the thread's own, whose value the tests read from the thread.
extern "C" int prctl(int option, ...) __THROW {
    va_list args;
    va_start(args, option);
    // prctl takes up to four further words; passing all on is harmless.
    const unsigned long arg2 = va_arg(args, unsigned long);
    const unsigned long arg3 = va_arg(args, unsigned long);
    const unsigned long arg4 = va_arg(args, unsigned long);
    const unsigned long arg5 = va_arg(args, unsigned long);
    va_end(args);
    if (option == PR_SET_TIMERSLACK && spy_armed()) spy_record(arg2 == 1 ? "request" : "release");
    // Refused as a seccomp filter refuses a call (seccomp(2): SECCOMP_RET_ERRNO).
    if (option == PR_GET_TIMERSLACK && spy_refuses(SPY_RESOLUTION)) {
        errno = EPERM;
        return -1;
    }
    return NEXT(prctl)(option, arg2, arg3, arg4, arg5);
}

extern "C" int clock_nanosleep(clockid_t clock, int flags, const timespec *request,
                               timespec *remain) {
    if (clock == CLOCK_MONOTONIC && flags == TIMER_ABSTIME) {
        const long long deadline = nanoseconds(*request);
        // In whole milliseconds, to the nearest: sleep's last slice ends a
        // few microseconds early.
        spy_record("wait(%lld)", (deadline - nanoseconds(spy_last_monotonic()) + 500000) / 1000000);
        spy_last_deadline = static_cast<double>(deadline) / 1e9;
        if (spy_replay_timer(deadline)) return 0;
    } else {
        spy_record("clock_nanosleep(%d,%d,%lld)", static_cast<int>(clock), flags, nanoseconds(*request));
    }
    return NEXT(clock_nanosleep)(clock, flags, request, remain);
}

// The PM QoS request: the spy hands out /dev/null in place of the device, so
// the test neither needs the device nor changes the machine, and tells its
// write of a 32-bit 0 ("hold_latency") and its close ("drop_latency").
static int latency_stand_in = -1;

extern "C" int open(const char *path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = va_arg(args, mode_t);
    va_end(args);
    if (!spy_armed() || std::strcmp(path, "/dev/cpu_dma_latency") != 0)
        return NEXT(open)(path, flags, mode);
    if (spy_refuses(SPY_LATENCY)) {
        spy_record("hold_latency(open refused)");
        errno = EACCES;
        return -1;
    }
    latency_stand_in = NEXT(open)("/dev/null", flags, mode);
    return latency_stand_in;
}

extern "C" ssize_t write(int fd, const void *data, size_t size) {
    // As the kernel's cpu_latency_qos_write (kernel/power/qos.c) fails a
    // value it cannot take; the file stays open.
    if (spy_armed() && fd == latency_stand_in && latency_stand_in >= 0 && spy_refuses(SPY_LATENCY_WRITE)) {
        spy_record("hold_latency(write refused)");
        errno = EINVAL;
        return -1;
    }
    if (spy_armed() && fd == latency_stand_in && latency_stand_in >= 0) {
        std::int32_t value = -1;
        if (size == sizeof value) std::memcpy(&value, data, sizeof value);
        // Not to be inherited by a child that another thread of the host
        // starts meanwhile (open(2): O_CLOEXEC).
        const int kept_from_children = (fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
        spy_record(size == sizeof value && value == 0 && kept_from_children ? "hold_latency"
                                                                             : "hold_latency(%zu bytes, cloexec %d)",
                   size, kept_from_children);
        spy_latency_held_at = static_cast<double>(nanoseconds(spy_last_monotonic())) / 1e9;
    }
    return NEXT(write)(fd, data, size);
}

extern "C" int close(int fd) {
    if (fd == latency_stand_in && latency_stand_in >= 0) {
        spy_record("drop_latency");
        latency_stand_in = -1;
    }
    return NEXT(close)(fd);
}

// Octave's flags, as liboctave exports them, at the newest Octave's sizes:
// the MEX files' weak references bind to these, so the suite can play
// Octave. Its check clears the signal flag and handles the signal; the spy
// counts the handlings.
extern "C" {
int octave_interrupt_state;
SpyOctaveSignal octave_signal_caught = {0, {SPY_GUARD, SPY_GUARD, SPY_GUARD}};
void octave_handle_signal() { spy_record("handle_signal"); }
}

SpyOctaveFlags spy_octave_flags() { return {&octave_interrupt_state, &octave_signal_caught}; }
