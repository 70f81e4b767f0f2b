// The priority settings rtboost makes. Each asks for the most and settles
// silently for what the platform grants this caller.
#ifndef MEXTIME_PRIORITY_PRIORITY_H
#define MEXTIME_PRIORITY_PRIORITY_H

namespace mextime {

// The whole host process: the real-time class where the platform has one.
void raise_process();

// The thread that called, alone: time-critical or real-time scheduling.
void raise_calling_thread();

}  // namespace mextime

#endif
