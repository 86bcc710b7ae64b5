// The default window procedure of every saver window, full screen and preview.
#include <stdlib.h>
#include <string.h>

#include "framework/config/config_host.h"
#include "framework/config/general_dialog.h"
#include "framework/runtime/password.h"
#include "framework/runtime/saver_close.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/runtime/timer.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

SaverRuntimeState RuntimeState;

static bool IsFull(HWND hwnd) { return GetParent(hwnd) == NULL; }

const char *SaverTag(HWND hwnd)
{
    return IsFull(hwnd) ? "full DefSaverProc" : "preview DefSaverProc";
}

void PostClose(HWND hwnd)
{
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

static void LoadRuntimeSettings()
{
    GeneralDialog settings;
    RuntimeState.mouseThreshold = settings.mouseThreshold;
    RuntimeState.passwordDelay = (DWORD)settings.passwordDelay;
    RuntimeState.activeConfig = settings.activeConfig;
}

// A preview made while the full saver runs (a settings page with a live preview,
// opened by active configuration) would otherwise restart the full saver's
// password clock, and clear the dialog flag under a dialog that is still shown.
static bool FullSaverRuns()
{
    return RuntimeState.fullSaver != NULL && IsWindow(RuntimeState.fullSaver);
}

static void StartSaverWindow(HWND hwnd, CREATESTRUCTA *create)
{
    DebugOutFrom(SaverTag(hwnd), "WM_CREATE...");
    LoadRuntimeSettings();
    if (IsFull(hwnd) || !FullSaverRuns()) {
        GetCursorPos(&RuntimeState.cursorRef);
        RuntimeState.passwordClock = GetTickCount();
        RuntimeState.dialogActive = 0;
    }
    if (IsFull(hwnd))
        RuntimeState.fullSaver = hwnd;
    free(create->lpCreateParams);
    create->lpCreateParams = NULL;
    CreateTimerProp(hwnd);
    if (!CurrentPrefs.noTimers)
        PostMessageA(hwnd, SCRM_INTERNAL, SCRINTERNAL_STARTTIMER, 0);
}

// A preview inside the monitor control dies with the settings dialog, which goes
// on running; every other saver window ends its message loop.
static bool EndsMessageLoop(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    if (parent == NULL)
        return true;
    char className[64];
    if (GetClassNameA(parent, className, sizeof className) == 0)
        return true;
    return strcmp(className, "LullexMonitorWindowClass") != 0;
}

static void EndSaverWindow(HWND hwnd)
{
    DebugOutFrom(SaverTag(hwnd), "WM_DESTROY: tidying up");
    ScrStopTimer(hwnd);
    DestroyTimerProp(hwnd);
    if (RuntimeState.fullSaver == hwnd)
        RuntimeState.fullSaver = NULL;
    if (EndsMessageLoop(hwnd)) {
        DebugOutFrom(SaverTag(hwnd), "POSTQUITMESSAGE from WM_DESTROY!!");
        PostQuitMessage(2);
    }
}

static void CloseOnDeactivation(HWND hwnd, WPARAM wParam)
{
    if (!IsFull(hwnd) || CurrentPrefs.debugMode || LOWORD(wParam) != 0)
        return;
    if (RuntimeState.dialogActive) {
        DebugOutFrom(SaverTag(hwnd), "WM_ACTIVATE: but a dialog is active, so ignoring it.");
        return;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_ACTIVATE: about to inactivate window, so sending Close");
    PostClose(hwnd);
}

static void ChooseCursor(HWND hwnd)
{
    if (IsFull(hwnd) && !CurrentPrefs.debugMode)
        SetCursor(NULL);
    else
        SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

static void CloseOnKey(HWND hwnd, WPARAM key)
{
    if (!IsFull(hwnd))
        return;
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_SCROLL) {
        DebugOut("WM_KEYDOWN: active-config key pressed. Checking...");
        RunActiveConfig(hwnd);
        return;
    }
    if (RuntimeState.dialogActive) {
        DebugOut("WM_KEYDOWN: Misc. key pressed, but active dialog, so ignoring it.");
        return;
    }
    DebugOut("WM_KEYDOWN: Misc key pressed: sending Close");
    PostClose(hwnd);
}

static bool SwallowSystemCommand(HWND hwnd, WPARAM command)
{
    if (!IsFull(hwnd))
        return false;
    if (command == SC_SCREENSAVE) {
        DebugOutFrom(SaverTag(hwnd), "WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running.");
        return true;
    }
    if (command != SC_CLOSE)
        return false;
    if (CurrentPrefs.debugMode) {
        DebugOutFrom(SaverTag(hwnd), "WM_SYSCOMMAND: should be gobbling up a SC_CLOSE, but am not because we're in debug mode.");
        return false;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_SYSCOMMAND: gobbling up a SC_CLOSE");
    return true;
}

static bool BeyondThreshold()
{
    POINT now;
    GetCursorPos(&now);
    LONG dx = labs(now.x - RuntimeState.cursorRef.x);
    LONG dy = labs(now.y - RuntimeState.cursorRef.y);
    return dx > RuntimeState.mouseThreshold || dy > RuntimeState.mouseThreshold;
}

static void CloseOnMouseMove(HWND hwnd)
{
    if (!IsFull(hwnd) || CurrentPrefs.debugMode || !BeyondThreshold())
        return;
    if (RuntimeState.dialogActive) {
        DebugOutFrom(SaverTag(hwnd), "WM_MOUSEMOVE: but dialog active, so ignoring");
        return;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_MOUSEMOVE: gone beyond threshold, sending Close");
    PostClose(hwnd);
}

static void CloseOnButton(HWND hwnd)
{
    if (!IsFull(hwnd))
        return;
    if (RuntimeState.dialogActive) {
        DebugOutFrom(SaverTag(hwnd), "WM_LBUTTONDOWN: but a dialog is active, so ignoring it.");
        return;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_LBUTTONDOWN: sending Close");
    PostClose(hwnd);
}

static void RightButton(HWND hwnd)
{
    if (!IsFull(hwnd))
        return;
    DebugOut("WM_RBUTTONDOWN: active-config. checking...");
    RunActiveConfig(hwnd);
}

static LRESULT VerifyPassword(HWND hwnd)
{
    DebugOutFrom(SaverTag(hwnd), "SCRM_VERIFYPW: going to DoVerifyPwDialog");
    if (DoVerifyPwDialog(hwnd) == IDOK) {
        DebugOut("SCRM_VERIFYPW: DoVerifyPw returned IDOK: returning TRUE!");
        return 1;
    }
    DebugOut("SCRM_VERIFYPW: DoVerifyPw returned IDCANCEL: returning FALSE");
    return 0;
}

static LRESULT OpenActiveConfig(HWND hwnd)
{
    DebugOutFrom(SaverTag(hwnd), "SCRM_ACTIVECONFIG: going to pop up activeconfig");
    DoConfigDialog(hwnd, 1);
    return 1;
}

static LRESULT ApplySettings(HWND hwnd, WPARAM code, const GeneralSettings *settings)
{
    if (!IsFull(hwnd) || (code & SCRNOTIFY_RECORDMASK) != SCRNOTIFY_GENERALSETTINGS || settings == NULL)
        return 1;
    RuntimeState.passwordDelay = settings->passwordDelay;
    RuntimeState.mouseThreshold = settings->mouseThreshold;
    RuntimeState.activeConfig = settings->activeConfig;
    TimerData *timer = GetTimerProp(hwnd);
    if (timer != NULL)
        SetEvent(timer->wakeEvent);
    return 1;
}

static LRESULT TurnTimerOff()
{
    static const char Stars[] =
        "******************************************************************************";
    DebugOut(Stars);
    DebugOut("** SCRM_TIMER: being turned off. If you want it to keep going, you must return its period.");
    DebugOut(Stars);
    return -1;
}

static bool HandleInternal(HWND hwnd, WPARAM code, LPARAM lParam, LRESULT *result)
{
    switch (code) {
    case SCRINTERNAL_TICK:
        if (CurrentPrefs.noTimers || GetTimerProp(hwnd) == NULL)
            return false;
        *result = SendMessageA(hwnd, SCRM_TIMER, 0, lParam);
        return true;
    case SCRINTERNAL_HADENOUGH:
        if (!CurrentPrefs.noTimers)
            TimerHadEnough(hwnd, (DWORD)lParam);
        return false;
    case SCRINTERNAL_STARTTIMER:
        ScrStartTimer(hwnd);
        return false;
    }
    return false;
}

LRESULT CALLBACK DefSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ScrEnsureInit();
    LRESULT result;
    switch (msg) {
    case WM_CREATE:       StartSaverWindow(hwnd, (CREATESTRUCTA *)lParam); break;
    case WM_DESTROY:      EndSaverWindow(hwnd); break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:   CloseOnDeactivation(hwnd, wParam); break;
    case WM_CLOSE:        RunCloseSequence(hwnd); return 0;
    case WM_SETCURSOR:    ChooseCursor(hwnd); break;
    case WM_KEYDOWN:      CloseOnKey(hwnd, wParam); break;
    case WM_KEYUP:        if (IsFull(hwnd)) DebugOutFrom(SaverTag(hwnd), "WM_KEYUP: ignoring it"); break;
    case WM_SYSCOMMAND:   if (SwallowSystemCommand(hwnd, wParam)) return 0; break;
    case WM_MOUSEMOVE:    CloseOnMouseMove(hwnd); break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:  CloseOnButton(hwnd); break;
    case WM_RBUTTONDOWN:  RightButton(hwnd); break;
    case SCRM_VERIFYPW:   return VerifyPassword(hwnd);
    case SCRM_ACTIVECONFIG: return OpenActiveConfig(hwnd);
    case SCRM_SETTINGSCHANGED: return ApplySettings(hwnd, wParam, (const GeneralSettings *)lParam);
    case SCRM_TIMER:      return TurnTimerOff();
    case SCRM_DIALOGACTIVE: RuntimeState.dialogActive = (LONG)wParam; break;
    case SCRM_INTERNAL:   if (HandleInternal(hwnd, wParam, lParam, &result)) return result; break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
