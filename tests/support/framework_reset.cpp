// The framework's one reset point for test programs that run many cases in one
// process: everything back as a fresh process has it. Built into the test
// programs only: the framework itself never goes back.
#include "support/framework_seams.h"

#include <string.h>

#include "framework/monitor/monitor.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/runtime/timer_list.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

static const DWORD ThreadEndWait = 10000;

// The saver classes the entry points registered, and the control classes even when
// something else took their names: a fresh process has none of them.
static void UnregisterFrameworkClasses()
{
    HINSTANCE client = ClientInstance != NULL ? ClientInstance : GetModuleHandleA(NULL);
    UnregisterClassA("OvScreenSaverClass", client);
    UnregisterClassA("DummyScreenSaverClass", client);
    if (frameworkInitialised)
        ScrCloseProcess();
    else if (FrameworkModule != NULL)
        UnregisterControls();
}

static void ForgetEntryState()
{
    FrameworkRunning = false;
    ClientInstance = NULL;
    memset(&CurrentModeOps, 0, sizeof CurrentModeOps);
    ClientDialogProc = NULL;
    ClientHasAboutBox = false;
    CreateHook = NULL;
    PropertySheetHook = NULL;
    AboutHook = NULL;
    ChangePasswordHook = NULL;
    HostWindow = NULL;
}

bool ResetFramework()
{
    // Quiet from here on: the closing steps below may fail on purpose, and their
    // debug boxes would wait for someone to answer them.
    CurrentPrefs.debugMessages = 0;
    bool threadsEnded = EndTimerThreads(ThreadEndWait);
    UnregisterFrameworkClasses();
    ForgetEntryState();
    memset(&RuntimeState, 0, sizeof RuntimeState);
    // Closing releases the monitor's bitmaps but keeps their measures.
    monitorWidth = monitorHeight = cornerWidth = cornerHeight = 0;
    FrameworkModule = NULL;
    frameworkInitialised = false;
    FrameworkAsLibrary = false;
    DefaultsApplied = false;
    return threadsEnded;
}
