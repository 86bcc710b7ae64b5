// The timer thread: asks its window for a tick and waits the period it answers.
#include <stdio.h>
#include <stdlib.h>

#include "framework/lullex.h"
#include "framework/runtime/timer.h"
#include "framework/services/services.h"

static const DWORD InfinitePeriod = 0xFFFFFFFF;
static const DWORD LongestPeriod = 0xFFFFFFFE;
// How often a thread waiting for its quit looks whether its window still exists.
static const DWORD WindowCheckInterval = 250;

static void ReportThreadMessage(const MSG &msg)
{
    char text[100];
    snprintf(text, sizeof text, "Thread message: msg=%x wParam=%x lParam=%x",
             msg.message, (unsigned)msg.wParam, (unsigned)msg.lParam);
    DebugOut(text);
    DebugMessageBox(NULL, text, "Thread message");
}

static bool StillRunning(TimerData *data)
{
    EnterCriticalSection(&data->lock);
    LONG running = data->running;
    LeaveCriticalSection(&data->lock);
    return running != 0;
}

// Takes one message off the thread's queue, waiting only once the window has had
// enough. Returns true when the thread is to quit: on WM_QUIT, or, while waiting,
// when the window has stopped the timer or is gone and so will post no quit.
static bool TakeThreadMessage(bool hadEnough, TimerData *data)
{
    MSG msg;
    while (!PeekMessageA(&msg, NULL, 0, 0xFFFF, PM_REMOVE)) {
        if (!hadEnough)
            return false;
        if (!StillRunning(data) || !IsWindow(data->hwnd))
            return true;
        MsgWaitForMultipleObjects(0, NULL, FALSE, WindowCheckInterval, QS_ALLPOSTMESSAGE);
    }
    if (msg.message == WM_QUIT)
        return true;
    ReportThreadMessage(msg);
    return false;
}

// The reply is as wide as a pointer. -1 stops, whatever the width; a reply that
// does not fit 32 bits is a long wait, not whatever its low half happens to be
// (0x100000000 would tick without a pause, 0x1FFFFFFFF would stop).
static DWORD PeriodOfReply(LRESULT reply)
{
    if (reply == -1)
        return InfinitePeriod;
    if (((ULONG_PTR)reply >> 16 >> 16) != 0)   // two shifts: a 32-bit build has no bits there
        return LongestPeriod;
    return (DWORD)reply;
}

static void WaitRestOfPeriod(TimerData *data, DWORD period, DWORD elapsed)
{
    if (elapsed >= period) {
        Sleep(0);
        return;
    }
    if (WaitForSingleObject(data->wakeEvent, period - elapsed) == WAIT_OBJECT_0)
        ResetEvent(data->wakeEvent);
}

unsigned __stdcall TimerThreadProc(void *argument)
{
    TimerData *data = (TimerData *)argument;
    bool hadEnough = false;
    for (;;) {
        if (TakeThreadMessage(hadEnough, data))
            break;
        if (hadEnough)
            continue;
        if (!StillRunning(data))
            break;
        // A window destroyed without stopping its timer answers every tick with 0.
        if (!IsWindow(data->hwnd))
            break;
        DWORD t0 = GetTickCount();
        DWORD period = PeriodOfReply(SendMessageA(data->hwnd, SCRM_INTERNAL, SCRINTERNAL_TICK, 0));
        DWORD t1 = GetTickCount();
        if (period == 0)
            continue;
        if (period == InfinitePeriod) {
            DebugOut("Thread: infinite delay specified, so posting a 'had enough'");
            hadEnough = true;
            PostMessageA(data->hwnd, SCRM_INTERNAL, SCRINTERNAL_HADENOUGH, (LPARAM)data->serial);
            continue;
        }
        WaitRestOfPeriod(data, period, t1 - t0);
    }
    DebugOut("Thread coming to an end. Deleting threaddata");
    // A window thread handing the record over does so under the lock; wait until
    // it has let go.
    EnterCriticalSection(&data->lock);
    LeaveCriticalSection(&data->lock);
    CloseHandle(data->wakeEvent);
    DeleteCriticalSection(&data->lock);
    free(data);
    return 0;
}
