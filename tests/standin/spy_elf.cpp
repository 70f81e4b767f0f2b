// ELF interposition: the test program exports these names, so the MEX file's
// calls bind to them first; each records an event and forwards to the next
// definition (libc, or the stand-in libmx/libmex). Each keeps the C name and
// the noexcept of its libc declaration. spy_elf_wait.cpp and
// spy_elf_priority.cpp interpose the same way.
#include "spy_host.h"

#include <dlfcn.h>
#include <errno.h>
#include <time.h>

#define NEXT(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

void spy_attach(void *) {}

extern "C" int clock_getres(clockid_t clock, timespec *resolution) __THROW {
    if (clock == CLOCK_MONOTONIC) spy_record("frequency");
    if (clock == CLOCK_MONOTONIC && spy_refuses(SPY_FREQUENCY)) {
        errno = EINVAL;
        return -1;
    }
    return NEXT(clock_getres)(clock, resolution);
}

// The calling thread's last CLOCK_MONOTONIC reading: a deadline is told as
// whole milliseconds after it.
static thread_local timespec last_monotonic;

timespec spy_last_monotonic() { return last_monotonic; }

long long nanoseconds(const timespec &t) { return t.tv_sec * 1000000000LL + t.tv_nsec; }

// Busy for that long on the counter, unseen: a sleep would be late by more.
static void spin_us(int microseconds) {
    if (microseconds <= 0) return;
    timespec start, now;
    NEXT(clock_gettime)(CLOCK_MONOTONIC, &start);
    do NEXT(clock_gettime)(CLOCK_MONOTONIC, &now);
    while (nanoseconds(now) - nanoseconds(start) < microseconds * 1000LL);
}

extern "C" int clock_gettime(clockid_t clock, timespec *now) __THROW {
    const int half_delay = clock == CLOCK_REALTIME ? spy_utc_read() : 0;
    spin_us(half_delay);
    const int result = NEXT(clock_gettime)(clock, now);
    spin_us(half_delay);
    long long replayed;
    if (clock == CLOCK_MONOTONIC && spy_replay_counter(replayed))
        *now = timespec{static_cast<time_t>(replayed / 1000000000LL), static_cast<long>(replayed % 1000000000LL)};
    if (clock == CLOCK_MONOTONIC) {
        last_monotonic = *now;
        spy_saw_counter(nanoseconds(*now));
        spy_record("counter");
    } else if (clock == CLOCK_REALTIME) {
        spy_saw_utc(static_cast<double>(now->tv_sec) + static_cast<double>(now->tv_nsec) * 1e-9);
        spy_record("utc");
    }
    return result;
}

#define SPY_HOOK(type, name) extern "C" type name
SPY_HOST_HOOKS
