// rtstatus's fourth answer: what the platform grants the waits and the
// raise, as "name=value" pairs joined by "; ", the same names in the same
// order on every platform. A platform fills the values it has; "n/a" stays
// where it has none, "unknown" where a read failed. Written without a
// formatter: MinGW's snprintf would add its whole formatter to the file.
#ifndef MEXTIME_PRIORITY_PLATFORM_TEXT_H
#define MEXTIME_PRIORITY_PLATFORM_TEXT_H

#include <cstddef>
#include <cstdint>

namespace mextime {

enum class PlatformField : std::size_t {
    TimerResolution,       // the system timer's step now, in ms
    TimerResolutionRange,  // the finest and coarsest step it offers, in ms
    HighResolutionTimer,   // whether a high-resolution waitable timer can be made
    PowerThrottling,       // whether the process keeps its timer resolution when hidden
    Privileged,            // whether the process may raise beyond its limits
    Policy,                // the calling thread's policy, as the kernel reports it
    RlimitRtprio,          // the real-time priority an unprivileged caller may take
    RlimitNice,            // the nice value it may take, counted as RLIMIT_NICE counts
    TimerSlack,            // the calling thread's timer slack outside a wait, in ns
    LatencyTier,           // the latency QoS tier the calling thread is granted
    QosClass,              // the calling thread's QoS class
    UtcResolution,         // the UTC clock's step as clock_getres reports it, in ns
    Timebase,              // the counter's tick as numer/denom nanoseconds
    Translated,            // whether the process runs translated (Rosetta)
    Count
};

constexpr const char *PLATFORM_FIELD_NAMES[] = {
    "timer_resolution_ms", "timer_resolution_range_ms", "high_resolution_timer", "power_throttling",
    "privileged", "policy", "rlimit_rtprio", "rlimit_nice", "timer_slack_ns", "latency_tier",
    "qos_class", "utc_resolution_ns", "timebase", "translated"};
static_assert(sizeof PLATFORM_FIELD_NAMES / sizeof PLATFORM_FIELD_NAMES[0] ==
                  static_cast<std::size_t>(PlatformField::Count),
              "a name for every field");

constexpr char NOT_APPLICABLE[] = "n/a";
constexpr char UNREADABLE[] = "unknown";
constexpr std::size_t PLATFORM_VALUE_SIZE = 32;

// The values of one reading, each "n/a" until a platform sets it.
class PlatformValues {
public:
    PlatformValues() {
        for (std::size_t k = 0; k < COUNT; ++k) copy(values_[k], NOT_APPLICABLE);
    }

    void set(PlatformField field, const char *text) { copy(at(field), text); }
    void append(PlatformField field, const char *text) { append(at(field), text); }

    void set_number(PlatformField field, std::uint64_t number) {
        char *out = at(field);
        *out = '\0';
        append_number(out, number);
    }

    void append_number(PlatformField field, std::uint64_t number) { append_number(at(field), number); }

    // A count of nanoseconds, in milliseconds to the nanosecond.
    void set_ms(PlatformField field, std::uint64_t ns) {
        char *out = at(field);
        *out = '\0';
        append_ms(out, ns);
    }

    void set_ms_range(PlatformField field, std::uint64_t low_ns, std::uint64_t high_ns) {
        char *out = at(field);
        *out = '\0';
        append_ms(out, low_ns);
        append(out, "-");
        append_ms(out, high_ns);
    }

    // Every pair, in the fields' order, into `out` of `size` bytes.
    void write(char *out, std::size_t size) const {
        std::size_t used = 0;
        for (std::size_t k = 0; k < COUNT; ++k) {
            if (k > 0) put(out, size, used, "; ");
            put(out, size, used, PLATFORM_FIELD_NAMES[k]);
            put(out, size, used, "=");
            put(out, size, used, values_[k]);
        }
        out[used] = '\0';
    }

private:
    static constexpr std::size_t COUNT = static_cast<std::size_t>(PlatformField::Count);
    static constexpr std::uint64_t NS_PER_MS = 1000000;
    static constexpr int MS_DECIMALS = 6;

    char *at(PlatformField field) { return values_[static_cast<std::size_t>(field)]; }

    static void copy(char *out, const char *text) {
        *out = '\0';
        append(out, text);
    }

    // Each value keeps room for its terminator; what does not fit is cut.
    static void append(char *out, const char *text) {
        std::size_t used = 0;
        while (out[used] != '\0') ++used;
        while (*text != '\0' && used + 1 < PLATFORM_VALUE_SIZE) out[used++] = *text++;
        out[used] = '\0';
    }

    static void append_number(char *out, std::uint64_t number, int least_digits = 1) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0 || count < least_digits);
        char text[24];
        for (int k = 0; k < count; ++k) text[k] = digits[count - 1 - k];
        text[count] = '\0';
        append(out, text);
    }

    static void append_ms(char *out, std::uint64_t ns) {
        append_number(out, ns / NS_PER_MS);
        append(out, ".");
        append_number(out, ns % NS_PER_MS, MS_DECIMALS);
    }

    static void put(char *out, std::size_t size, std::size_t &used, const char *text) {
        while (*text != '\0' && used + 1 < size) out[used++] = *text++;
    }

    char values_[COUNT][PLATFORM_VALUE_SIZE];
};

}  // namespace mextime

#endif
