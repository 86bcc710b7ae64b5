// The three doors into the framework: register the saver class, pick the mode
// operations and hand over to RunFramework.
#include "framework/startup/entry.h"

#include "framework/config/config_host.h"
#include "framework/runtime/password.h"
#include "framework/services/services.h"
#include "framework/startup/runners.h"

bool FrameworkRunning = false;
// Taken by an entry point before anything else it does, given back when it returns.
static volatile LONG FrameworkEntered = 0;
HINSTANCE ClientInstance = nullptr;
ModeOps CurrentModeOps = {};

DLGPROC ClientDialogProc = nullptr;
bool ClientHasAboutBox = false;

ScrCreateHook CreateHook = nullptr;
ScrPropertySheetHook PropertySheetHook = nullptr;
ScrAboutHook AboutHook = nullptr;
ScrChangePasswordHook ChangePasswordHook = nullptr;

HWND HostWindow = nullptr;

static void RegisterSaverClass(HINSTANCE instance, const char *className, WNDPROC proc, int stockBrush)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    wc.lpszClassName = className;
    RegisterClassExA(&wc);   // a class left over from an earlier run is as good as a new one
}

// One entry at a time: the mark is taken in one step, so that neither a client's
// init routine nor a second thread can slip in before FrameworkRunning is set,
// and it is given back when RunFramework has finished.
static bool EnterFramework()
{
    return InterlockedCompareExchange(&FrameworkEntered, 1, 0) == 0;
}

static int LeaveFramework(int result)
{
    InterlockedExchange(&FrameworkEntered, 0);
    return result;
}

// A mode that has ended has closed the framework for the rest of the process
// (its control classes are gone), unless the framework is a library of its own.
// A second mode would run without them: the settings dialog would not even open.
static bool ClosedForGood(const char *entry)
{
    if (FrameworkAsLibrary || frameworkInitialised)
        return false;
    char line[160];
    wsprintfA(line, "%s: the framework was closed when the first mode ended; it runs one mode per process", entry);
    DebugOut(line);
    return true;
}

int LULLEXAPI ScrRun(HINSTANCE instance, WNDPROC saverProc, DLGPROC clientDialogProc,
                     ScrClientInitRoutine init, LONG)
{
    if (!EnterFramework())
        return 2;
    ScrEnsureInit();
    if (ClosedForGood("ScrRun"))
        return LeaveFramework(2);
    ClientHasAboutBox = FindResourceA(instance, MAKEINTRESOURCEA(2004), RT_DIALOG) != nullptr;
    ClientDialogProc = clientDialogProc;
    if (init)
        init(instance);
    RegisterSaverClass(instance, "OvScreenSaverClass", saverProc, NULL_BRUSH);
    return LeaveFramework(RunFramework(instance, CreateRunPreviewWindow, CreateRunSaverWindow, ExecuteUserDialog,
                                       ShowAboutBox, DoChangePwDialog));
}

int LULLEXAPI ScrRunWithHooks(HINSTANCE instance, ScrCreateHook createHook,
                              ScrPropertySheetHook propertySheetHook, ScrAboutHook aboutHook,
                              ScrChangePasswordHook changePasswordHook)
{
    if (!EnterFramework())
        return 2;
    ScrEnsureInit();
    if (ClosedForGood("ScrRunWithHooks"))
        return LeaveFramework(2);
    ClientHasAboutBox = false;
    CreateHook = createHook;
    PropertySheetHook = propertySheetHook;
    AboutHook = aboutHook;
    ChangePasswordHook = changePasswordHook;
    RegisterSaverClass(instance, "DummyScreenSaverClass", DefSaverProc, NULL_BRUSH);
    return LeaveFramework(RunFramework(instance, CreateHookedPreviewWindow, CreateHookedSaverWindow,
                                       HookedExecuteUserDialog, HookedShowAbout, HookedChangePassword));
}

int LULLEXAPI ScrRunHosted(HINSTANCE instance, HWND hostWindow)
{
    if (!EnterFramework())
        return 2;
    ScrEnsureInit();
    if (ClosedForGood("ScrRunHosted"))
        return LeaveFramework(2);
    ClientHasAboutBox = false;
    HostWindow = hostWindow;
    RegisterSaverClass(instance, "DummyScreenSaverClass", DefSaverProc, GRAY_BRUSH);
    return LeaveFramework(RunFramework(instance, CreateHostedPreviewWindow, CreateHostedSaverWindow,
                                       HostedExecuteUserDialog, HostedShowAbout, HostedChangePassword));
}
