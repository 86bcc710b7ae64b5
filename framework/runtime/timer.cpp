// Starting and stopping a saver window's timer thread.
#include <process.h>
#include <stdlib.h>

#include "framework/runtime/timer.h"
#include "framework/runtime/timer_list.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

static const unsigned TimerStackSize = 4096;

// One step down the scheduler's ladder; the ends of the ladder have no neighbour
// at distance one.
static int OneStepBelow(int priority)
{
    if (priority == THREAD_PRIORITY_TIME_CRITICAL)
        return THREAD_PRIORITY_HIGHEST;
    if (priority <= THREAD_PRIORITY_LOWEST)
        return THREAD_PRIORITY_IDLE;
    return priority - 1;
}

// A freed record's address comes back for the next one, so a had-enough request
// names its timer by a number that is not reused (short of four billion starts).
static LONG lastSerial = 0;

static DWORD NextSerial()
{
    DWORD serial;
    do
        serial = (DWORD)InterlockedIncrement(&lastSerial);
    while (serial == 0);
    return serial;
}

// The window's property is an address in the window's own process: it means
// nothing here, and writing through it would change this process's memory. (A
// handle that names no window at all has no property to read.)
static bool WindowOfAnotherProcess(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process != 0 && process != GetCurrentProcessId();
}

// The property, the record and the thread list are changed by the window's own
// thread only: that is what makes "is one there?" and "store this one" a single
// step, and what keeps the window's destruction from freeing the property under
// a call from elsewhere.
static bool WindowOfAnotherThread(HWND hwnd)
{
    DWORD thread = GetWindowThreadProcessId(hwnd, NULL);
    return thread != 0 && thread != GetCurrentThreadId();
}

static void DiscardTimerData(HWND hwnd, TimerData *data)
{
    SetTimerProp(hwnd, NULL);
    CloseHandle(data->wakeEvent);
    DeleteCriticalSection(&data->lock);
    free(data);
}

void LULLEXAPI ScrStartTimer(HWND hwnd)
{
    ScrEnsureInit();
    if (CurrentPrefs.noTimers) {
        DebugOut("ScrStartTimer: Timers have been turned off in the prefs: they are not being initialized");
        return;
    }
    DebugOut("ScrStartTimer: creating a timer...");
    if (WindowOfAnotherProcess(hwnd)) {
        DebugOut("ScrStartTimer: the window belongs to another process, so no timer is started");
        return;
    }
    if (WindowOfAnotherThread(hwnd)) {
        DebugOut("ScrStartTimer: the window belongs to another thread: only that thread may start its timer.");
        return;
    }
    if (GetTimerProp(hwnd) != NULL) {
        DebugOut("ScrStartTimer: cannot restart, because one was already there!");
        return;
    }
    // Without the property nothing could ever stop the thread: the window would
    // never learn of its timer, and a thread ticking a window that is not a saver
    // window would tick it for the rest of the process.
    if (!HasTimerProp(hwnd)) {
        DebugOut("ScrStartTimer: the window has no timer property, so no timer is started");
        return;
    }
    TimerData *data = (TimerData *)calloc(1, sizeof(TimerData));
    ThreadListNode *node = NewThreadListNode();
    if (data == NULL || node == NULL) {
        free(data);
        DiscardThreadListNode(node);
        return;
    }
    SetTimerProp(hwnd, data);
    DebugOut("ScrStartTimer: am able to work with timers!");

    InitializeCriticalSection(&data->lock);
    data->wakeEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    data->hwnd = hwnd;
    data->running = 1;
    data->serial = NextSerial();
    if (data->wakeEvent == NULL) {
        DiscardThreadListNode(node);
        DiscardTimerData(hwnd, data);
        return;
    }

    unsigned threadId = 0;
    HANDLE thread = (HANDLE)_beginthreadex(NULL, TimerStackSize, TimerThreadProc, data, 0, &threadId);
    if (thread == NULL) {
        DiscardThreadListNode(node);
        DiscardTimerData(hwnd, data);
        return;
    }
    // The thread cannot end before this window thread stops the timer, so the
    // record is still ours to fill in.
    data->threadHandle = thread;
    data->threadId = threadId;
    ListTimerThread(node, thread, hwnd);
    SetThreadPriority(thread, OneStepBelow(GetThreadPriority(GetCurrentThread())));
}

// Clears running, cuts a pending wait short and posts the quit; from then on the
// record belongs to its thread. All of it happens under the lock: the thread takes
// the lock once more before it ends, so it is still alive when the quit is posted
// and its id cannot have gone to another thread.
static void HandOverToEndingThread(HWND hwnd, TimerData *data)
{
    SetTimerProp(hwnd, NULL);
    EnterCriticalSection(&data->lock);
    data->running = 0;
    SetEvent(data->wakeEvent);
    PostThreadMessageA(data->threadId, WM_QUIT, 0, 0);
    LeaveCriticalSection(&data->lock);
}

void LULLEXAPI ScrStopTimer(HWND hwnd)
{
    if (hwnd == NULL) {
        DebugOut("ScrStopTimer: hwnd is null!");
        return;
    }
    ScrEnsureInit();
    if (CurrentPrefs.noTimers) {
        DebugOut("ScrStopTimer: Timers have been turned off: you can not destroy them.");
        return;
    }
    if (WindowOfAnotherProcess(hwnd)) {
        DebugOut("ScrStopTimer: the window belongs to another process: its timer is not ours to stop.");
        return;
    }
    if (WindowOfAnotherThread(hwnd)) {
        DebugOut("ScrStopTimer: the window belongs to another thread: only that thread may stop its timer.");
        return;
    }
    TimerData *data = GetTimerProp(hwnd);
    if (data == NULL) {
        DebugOut("ScrStopTimer: the timer had already been destroyed. This isn't necessarily bad.");
        return;
    }
    DebugOut("ScrStopTimer: destroying timer...");
    HandOverToEndingThread(hwnd, data);
}

// The request may arrive after the window has stopped the timer that made it and
// started another: the new timer never answered -1 and keeps going.
void TimerHadEnough(HWND hwnd, DWORD serial)
{
    DebugOut("SCRINTERNAL_HADENOUGH: closing down thread...");
    TimerData *data = GetTimerProp(hwnd);
    if (data == NULL) {
        DebugOut("SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!");
        DebugMessageBox(hwnd, "SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!", "SCRTIMER error");
        SetTimerProp(hwnd, NULL);
        return;
    }
    if (data->serial != serial) {
        DebugOut("SCRINTERNAL_HADENOUGH: the request came from an earlier timer, so the current one keeps going");
        return;
    }
    HandOverToEndingThread(hwnd, data);
}
