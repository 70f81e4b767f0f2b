// Status on Windows: the process's priority class and the calling thread's
// level, in the words of the system's own settings.
#include "priority.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace mextime {
namespace {

const char *class_word(DWORD priority_class) {
    switch (priority_class) {
    case REALTIME_PRIORITY_CLASS: return "realtime";
    case HIGH_PRIORITY_CLASS: return "high";
    case ABOVE_NORMAL_PRIORITY_CLASS: return "above normal";
    case NORMAL_PRIORITY_CLASS: return "normal";
    case BELOW_NORMAL_PRIORITY_CLASS: return "below normal";
    case IDLE_PRIORITY_CLASS: return "idle";
    default: return nullptr;
    }
}

const char *level_word(int level) {
    switch (level) {
    case THREAD_PRIORITY_TIME_CRITICAL: return "time critical";
    case THREAD_PRIORITY_HIGHEST: return "highest";
    case THREAD_PRIORITY_ABOVE_NORMAL: return "above normal";
    case THREAD_PRIORITY_NORMAL: return "normal";
    case THREAD_PRIORITY_BELOW_NORMAL: return "below normal";
    case THREAD_PRIORITY_LOWEST: return "lowest";
    case THREAD_PRIORITY_IDLE: return "idle";
    default: return nullptr;
    }
}

// The C runtime's own conversions: MinGW's snprintf would add its whole
// formatter to the file.
void put_word(char (&out)[STATUS_TEXT_SIZE], const char *word) {
    std::strncpy(out, word, STATUS_TEXT_SIZE - 1);
    out[STATUS_TEXT_SIZE - 1] = '\0';
}

void put_number(char (&out)[STATUS_TEXT_SIZE], long number) { _ltoa(number, out, 10); }

}  // namespace

// A class or level without a word (a failed read, or one of the levels
// between -7 and 6 that only the real-time class offers) is its number.
void read_status(Status &status) {
    const DWORD priority_class = GetPriorityClass(GetCurrentProcess());
    const int level = GetThreadPriority(GetCurrentThread());
    status.realtime = priority_class == REALTIME_PRIORITY_CLASS;
    if (const char *word = class_word(priority_class))
        put_word(status.process, word);
    else
        put_number(status.process, static_cast<long>(priority_class));
    if (const char *word = level_word(level))
        put_word(status.thread, word);
    else
        put_number(status.thread, level);
}

}  // namespace mextime
