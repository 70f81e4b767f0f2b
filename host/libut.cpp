// Stand-in for MATLAB's libut: the flag that Ctrl+C sets and that a MEX
// file may poll while it waits. Lock-free, so a signal handler may set it.
#include <atomic>

static std::atomic<bool> interrupt_pending{false};

extern "C" bool utIsInterruptPending() { return interrupt_pending.load(); }

// Answers the flag as it was.
extern "C" bool utSetInterruptPending(bool pending) { return interrupt_pending.exchange(pending); }
