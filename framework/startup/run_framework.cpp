// The common body of the entry points: run the mode, close the framework and
// wait for the timer threads the mode left behind.
#include "framework/startup/entry.h"

#include "framework/runtime/timer_list.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

static const DWORD ThreadExitWait = 10000;

static void WaitForTimerThreads()
{
    if (EndTimerThreads(ThreadExitWait))
        return;
    DebugOut("Not all threads have terminated!");
    DebugMessageBox(nullptr, "Not all threads have terminated", "ThreadTimer error");
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
        PrepareTimerThreadList();

    int result = DispatchCommandLine();

    FrameworkRunning = false;
    if (!FrameworkAsLibrary && frameworkInitialised)
        ScrCloseProcess();

    WaitForTimerThreads();
    return result;
}
