// The priority settings rtboost makes and rtrestore undoes, and what
// rtstatus reads back. Each setting asks for the most and settles for what
// the platform grants this caller.
#ifndef MEXTIME_PRIORITY_PRIORITY_H
#define MEXTIME_PRIORITY_PRIORITY_H

#include <cstddef>

namespace mextime {

// The whole host process: the real-time class where the platform has one.
// True when the process stands above the ordinary afterwards.
bool raise_process();

// The thread that called, alone: time-critical or real-time scheduling.
// True when the thread stands above the ordinary afterwards.
bool raise_calling_thread();

// rtboost's warning when neither raise obtained anything: what the
// platform refused, and where to read how to grant it.
extern const char NOT_GRANTED_MESSAGE[];

// The ordinary standing again, for the process and then the calling thread;
// nothing here needs a privilege.
void restore_process();
void restore_calling_thread();

// Room for the longest layout of any platform.
constexpr std::size_t MAX_STANDING_FIELDS = 8;

// The standing of the process and the calling thread as numbers a log can
// hold: first a marker of the platform and the layout, then the platform's
// own fields, each a whole number.
struct Standing {
    std::size_t count;
    double fields[MAX_STANDING_FIELDS];
};

// False when the platform does not tell.
bool read_standing(Standing &standing);

// Copies `values` when they are a standing read_standing could have made on
// this platform: the marker, the count and every field in its range.
bool accept_standing(const double *values, std::size_t count, Standing &standing);

// A standing that accept_standing took back again, the process side first;
// whatever the platform refuses is refused silently.
void restore_process(const Standing &standing);
void restore_calling_thread(const Standing &standing);

// Long enough for "below normal", "nice -20" or any number.
constexpr std::size_t STATUS_TEXT_SIZE = 24;
// Long enough for every name and value of platform_text.h.
constexpr std::size_t PLATFORM_TEXT_SIZE = 704;

// What the process and the calling thread have now, in the platform's words.
struct Status {
    bool realtime;                    // the calling thread runs in real time
    char process[STATUS_TEXT_SIZE];   // the class, or the thread's nice value
    char thread[STATUS_TEXT_SIZE];    // the thread's level, or its policy
    char platform[PLATFORM_TEXT_SIZE];  // what the platform grants, as platform_text.h writes it
};

void read_status(Status &status);
// Fills status.platform alone: only rtstatus's fourth answer needs it.
void read_platform(Status &status);

}  // namespace mextime

#endif
