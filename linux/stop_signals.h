// SIGTERM and SIGINT end the program within moments, whatever it is doing. While
// it waits for its next frame, a signal ends the wait and the program closes
// everything in order; at any other moment (a frame that takes seconds in a huge
// window, the start-up) the handler ends the process at once with exit code 0.
#pragma once
#include <cstdint>

// Installs the handler; the calling thread is the one whose waits it ends.
void WatchStopSignals();
bool StopRequested();

// Waits until the CLOCK_MONOTONIC time deadline (nanoseconds), until fd is
// readable (fd < 0: no descriptor), or until a stop signal comes, whichever is first.
void WaitForDeadlineOrInput(int64_t deadline, int fd);

// Now on CLOCK_MONOTONIC, in nanoseconds.
int64_t MonotonicNow();
