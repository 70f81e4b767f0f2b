#include "spy.h"

#include <cstdarg>
#include <cstdio>

// Fixed storage: recording must not allocate, it runs inside the calls.
static char events[SPY_MAX_EVENTS][SPY_EVENT_SIZE];
static int event_count;
static int armed;
int spy_refusals;
int spy_timers_open, spy_periods_held;
double spy_last_deadline, spy_latency_held_at;
SpyReplay spy_replay;
char spy_last_warning[512];

std::vector<int> spy_utc_delays;
SpyPair spy_pairs[SPY_MAX_PAIRS];
int spy_pair_count;
static int pair_open;
static long long last_counter;

void spy_arm() {
    __atomic_store_n(&event_count, 0, __ATOMIC_SEQ_CST);
    spy_pair_count = pair_open = 0;
    spy_last_warning[0] = '\0';
    __atomic_store_n(&armed, 1, __ATOMIC_SEQ_CST);
}

int spy_disarm() {
    __atomic_store_n(&armed, 0, __ATOMIC_SEQ_CST);
    const int count = __atomic_load_n(&event_count, __ATOMIC_SEQ_CST);
    return count < SPY_MAX_EVENTS ? count : SPY_MAX_EVENTS;
}

int spy_armed() { return __atomic_load_n(&armed, __ATOMIC_SEQ_CST); }

const char *spy_event(int index) { return events[index]; }

void spy_record(const char *format, ...) {
    if (!spy_armed()) return;
    const int slot = __atomic_fetch_add(&event_count, 1, __ATOMIC_SEQ_CST);
    if (slot >= SPY_MAX_EVENTS) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(events[slot], SPY_EVENT_SIZE, format, args);
    va_end(args);
}

void spy_saw_warning(const char *message) {
    if (spy_armed()) std::snprintf(spy_last_warning, sizeof spy_last_warning, "%s", message);
}

bool spy_refuses(int what) { return (spy_refusals & what) && spy_armed(); }

bool spy_replay_counter(long long &ticks) {
    if (!spy_replay.on) return false;
    ticks = spy_replay.now;
    spy_replay.now += spy_replay.step;
    return true;
}

// How late a wait with this deadline wakes in the recorded trace.
static long long recorded_late(long long deadline_ticks) {
    const SpyReplay &r = spy_replay;
    const long long since = deadline_ticks - r.start;
    if (since < 0 || since / r.slot >= static_cast<long long>(r.slots.size())) return 0;
    long long k = since / r.slot;
    if (r.slots[k] != SPY_NOT_WAITED) return r.slots[k];
    while (k > 0 && r.slots[k] == SPY_NOT_WAITED) --k;
    const long long left = r.start + k * r.slot + r.slots[k] - deadline_ticks;
    return r.slots[k] == SPY_NOT_WAITED || left < 0 ? 0 : left;
}

bool spy_replay_timer(long long deadline_ticks) {
    if (!spy_replay.on) return false;
    if (spy_replay.now < deadline_ticks) spy_replay.now = deadline_ticks;
    if (!spy_replay.slots.empty())
        spy_replay.now += recorded_late(deadline_ticks);
    else if (spy_replay.next < spy_replay.late.size())
        spy_replay.now += spy_replay.late[spy_replay.next++];
    spy_replay.woke = spy_replay.now;
    return true;
}

void spy_saw_counter(long long ticks) {
    if (!spy_armed()) return;
    last_counter = ticks;
    if (pair_open) spy_pairs[spy_pair_count - 1].after = ticks;
    pair_open = 0;
}

void spy_saw_utc(double posix_seconds) {
    if (pair_open) spy_pairs[spy_pair_count - 1].utc = posix_seconds;
}

int spy_utc_read() {
    if (!spy_armed() || spy_pair_count == SPY_MAX_PAIRS) return 0;
    const int k = spy_pair_count++;
    spy_pairs[k] = {last_counter, 0, 0};
    pair_open = 1;
    return k < static_cast<int>(spy_utc_delays.size()) ? spy_utc_delays[k] / 2 : 0;
}
