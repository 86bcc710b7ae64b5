#include "linux/stop_signals.h"

#include <csignal>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t waiting = 0;   // the watching thread is in its wait
pid_t watchingThread = 0;

// The GL library's worker threads may take the signal too: one that comes while
// the watching thread waits is handed on to it, so that its wait ends.
void OnStopSignal(int signal)
{
    stopRequested = 1;
    if (!waiting) _exit(0);
    if (pid_t(syscall(SYS_gettid)) != watchingThread) syscall(SYS_tgkill, getpid(), watchingThread, signal);
}

sigset_t StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

} // namespace

void WatchStopSignals()
{
    watchingThread = pid_t(syscall(SYS_gettid));
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested()
{
    return stopRequested;
}

int64_t MonotonicNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The signals stay blocked from the flag's test until ppoll unblocks them
// atomically: one that comes in between ends the wait instead of being missed.
void WaitForDeadlineOrInput(int64_t deadline, int fd)
{
    const sigset_t stops = StopSignals();
    sigset_t unblocked;
    pthread_sigmask(SIG_BLOCK, &stops, &unblocked);
    waiting = 1;
    const int64_t left = deadline - MonotonicNow();
    if (!stopRequested && left > 0) {
        const timespec timeout = {time_t(left / 1000000000), long(left % 1000000000)};
        pollfd input = {fd, POLLIN, 0};
        ppoll(&input, fd >= 0 ? 1 : 0, &timeout, &unblocked);
    }
    waiting = 0;
    pthread_sigmask(SIG_SETMASK, &unblocked, nullptr);
}
