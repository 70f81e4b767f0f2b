#include "spy.h"

#include <cstdarg>
#include <cstdio>

// Fixed storage: recording must not allocate, it runs inside the calls.
static char events[SPY_MAX_EVENTS][SPY_EVENT_SIZE];
static int event_count;
static int armed;
static int frequency_fails;
static int priority_read_fails;
static double last_deadline, latency_held_at;

// The pairs around UTC clock reads, and the delays that widen them.
enum { SPY_MAX_PAIRS = 64 };
static int utc_delays[SPY_MAX_PAIRS], utc_delay_count;
static SpyPair pairs[SPY_MAX_PAIRS];
static int pair_count, pair_open;
static long long last_counter;

void spy_arm() {
    __atomic_store_n(&event_count, 0, __ATOMIC_SEQ_CST);
    pair_count = pair_open = 0;
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

void spy_fail_frequency(int fail) { frequency_fails = fail; }
int spy_frequency_fails() { return frequency_fails && spy_armed(); }
void spy_fail_priority_read(int fail) { priority_read_fails = fail; }
int spy_priority_read_fails() { return priority_read_fails && spy_armed(); }
void spy_note_deadline(double seconds) { last_deadline = seconds; }
double spy_last_deadline() { return last_deadline; }

static bool replaying;
static long long virtual_ticks, replay_step;
static const long long *replay_late;
static int replay_count, replay_next;

void spy_note_latency_held(double seconds) { latency_held_at = seconds; }
double spy_latency_held_at() { return latency_held_at; }

void spy_replay_start(const long long *late_ticks, int count, long long start_ticks, long long step_ticks) {
    virtual_ticks = start_ticks;
    replay_late = late_ticks;
    replay_count = count;
    replay_next = 0;
    replay_step = step_ticks;
    replaying = true;
}

void spy_replay_stop() { replaying = false; }
long long spy_replay_now() { return virtual_ticks; }
void spy_replay_pause(long long ticks) { virtual_ticks += ticks; }

bool spy_replay_counter(long long &ticks) {
    if (!replaying) return false;
    ticks = virtual_ticks;
    virtual_ticks += replay_step;
    return true;
}

bool spy_replay_timer(long long deadline_ticks) {
    if (!replaying) return false;
    if (virtual_ticks < deadline_ticks) virtual_ticks = deadline_ticks;
    if (replay_next < replay_count) virtual_ticks += replay_late[replay_next++];
    return true;
}

void spy_slow_utc(const int *microseconds, int count) {
    utc_delay_count = count < SPY_MAX_PAIRS ? count : SPY_MAX_PAIRS;
    for (int k = 0; k < utc_delay_count; ++k) utc_delays[k] = microseconds[k];
}

int spy_utc_pairs(SpyPair *out, int capacity) {
    const int count = pair_count < capacity ? pair_count : capacity;
    for (int k = 0; k < count; ++k) out[k] = pairs[k];
    return count;
}

void spy_saw_counter(long long ticks) {
    if (!spy_armed()) return;
    last_counter = ticks;
    if (pair_open) pairs[pair_count - 1].after = ticks;
    pair_open = 0;
}

void spy_saw_utc(double posix_seconds) {
    if (pair_open) pairs[pair_count - 1].utc = posix_seconds;
}

int spy_utc_read() {
    if (!spy_armed() || pair_count == SPY_MAX_PAIRS) return 0;
    const int k = pair_count++;
    pairs[k] = {last_counter, 0, 0};
    pair_open = 1;
    return k < utc_delay_count ? utc_delays[k] / 2 : 0;
}
