// The common body of the entry points: run the mode, close the framework and
// wait for the timer threads the mode left behind.
#include "framework/startup/entry.h"

#include <stdlib.h>

#include "framework/services/services.h"
#include "framework/startup/prefs.h"

ThreadListNode *timerThreadList = nullptr;
CRITICAL_SECTION threadListLock;
static bool threadListLockReady = false;

static const DWORD ThreadExitWait = 10000;

// The lock is set up once per process: by the entry point, or by a timer that a
// client starts for a window of its own before any entry point runs.
void PrepareThreadListLock()
{
    if (threadListLockReady)
        return;
    InitializeCriticalSection(&threadListLock);
    threadListLockReady = true;
}

static void WaitForTimerThreads()
{
    EnterCriticalSection(&threadListLock);
    DWORD count = 0;
    for (ThreadListNode *node = timerThreadList; node; node = node->next)
        ++count;
    HANDLE *handles = static_cast<HANDLE *>(malloc(count * sizeof(HANDLE)));
    DWORD copied = 0;
    if (handles) {
        for (ThreadListNode *node = timerThreadList; node; node = node->next)
            handles[copied++] = node->threadHandle;
    }
    LeaveCriticalSection(&threadListLock);

    // WaitForMultipleObjects takes at most 64 handles at a time; the ten
    // seconds are shared by all the batches.
    bool timedOut = handles == nullptr;
    DWORD start = GetTickCount();
    for (DWORD first = 0; first < copied && !timedOut; first += MAXIMUM_WAIT_OBJECTS) {
        DWORD batch = copied - first < MAXIMUM_WAIT_OBJECTS ? copied - first : MAXIMUM_WAIT_OBJECTS;
        DWORD spent = GetTickCount() - start;
        DWORD left = spent < ThreadExitWait ? ThreadExitWait - spent : 0;
        if (WaitForMultipleObjects(batch, handles + first, TRUE, left) == WAIT_TIMEOUT)
            timedOut = true;
    }
    free(handles);
    if (timedOut) {
        DebugOut("Not all threads have terminated!");
        DebugMessageBox(nullptr, "Not all threads have terminated", "ThreadTimer error");
    }
}

// The nodes hold the only copies of the thread handles; closing one does not
// stop a thread that outlived the wait.
static void FreeThreadList()
{
    EnterCriticalSection(&threadListLock);
    while (timerThreadList) {
        ThreadListNode *next = timerThreadList->next;
        CloseHandle(timerThreadList->threadHandle);
        free(timerThreadList);
        timerThreadList = next;
    }
    LeaveCriticalSection(&threadListLock);
}

int RunFramework(HINSTANCE instance, HWND (*createPreviewWindow)(HWND, LONG),
                 HWND (*createSaverWindow)(), int (*executeUserDialog)(HWND, PROPSHEETHEADERA *),
                 int (*showAbout)(HWND), int (*changePassword)(HWND))
{
    FrameworkRunning = true;
    CurrentModeOps.createPreviewWindow = createPreviewWindow;
    CurrentModeOps.createSaverWindow = createSaverWindow;
    CurrentModeOps.ExecuteUserDialog = executeUserDialog;
    CurrentModeOps.showAbout = showAbout;
    CurrentModeOps.changePassword = changePassword;
    ClientInstance = instance;

    // The list is kept: it may already hold timers the client started before it
    // called the entry point.
    if (!CurrentPrefs.noTimers)
        PrepareThreadListLock();

    int result = DispatchCommandLine();

    FrameworkRunning = false;
    if (!FrameworkAsLibrary && frameworkInitialised)
        ScrCloseProcess();

    if (timerThreadList) {
        WaitForTimerThreads();
        FreeThreadList();
    }
    return result;
}
