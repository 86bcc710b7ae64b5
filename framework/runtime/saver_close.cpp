// Closing a saver window, behind the password when the system asks for one, and
// popping up the active-configuration dialog over the running saver.
#include "framework/lullex.h"
#include "framework/runtime/password.h"
#include "framework/runtime/saver_close.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

// Runs SCRM_VERIFYPW with the saver marked as showing a dialog; true when accepted.
static bool AskForPassword(HWND hwnd)
{
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 1, 0);
    DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: starting verify-password message");
    LRESULT reply = SendMessageA(hwnd, SCRM_VERIFYPW, 0, 0);
    DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: ending verify-password message");
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 0, 0);
    GetCursorPos(&RuntimeState.cursorRef);
    return reply != 0;
}

void RunCloseSequence(HWND hwnd)
{
    if (GetParent(hwnd) != NULL) {
        DestroyWindow(hwnd);
        return;
    }
    if (RuntimeState.dialogActive) {
        DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: active dialog, so ignoring close request");
        return;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: maybe we need a password");
    bool accepted = NeedPassword() ? AskForPassword(hwnd) : true;
    if (!accepted) {
        DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: not OK, so doing nothing");
        return;
    }
    DebugOutFrom(SaverTag(hwnd), "WM_CLOSE: password OK, so doing a DestroyWindow");
    DestroyWindow(hwnd);
}

// The settings dialog can lengthen the password delay for the running saver, so
// it is guarded by the same password as closing the saver.
static bool PasswordAllowsActiveConfig(HWND hwnd)
{
    if (!CurrentPrefs.passwordBeforeActiveConfig || !NeedPassword())
        return true;
    DebugOut("WM_ACTIVE: asking for the password first");
    if (!AskForPassword(hwnd)) {
        DebugOut("WM_ACTIVE: password refused, so no active config");
        return false;
    }
    RuntimeState.passwordClock = GetTickCount();
    return true;
}

void RunActiveConfig(HWND hwnd)
{
    if (RuntimeState.dialogActive) {
        DebugOut("WM_ACTIVE: but dialog is active, so ignoring");
        return;
    }
    if (!CurrentPrefs.supportsActiveConfig || !RuntimeState.activeConfig) {
        DebugOut("WM_ACTIVE: but it's not enabled, so sending close");
        PostClose(hwnd);
        return;
    }
    if (!PasswordAllowsActiveConfig(hwnd))
        return;
    DebugOutFrom(SaverTag(hwnd), "Starting active config dialog");
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 1, 0);
    SendMessageA(hwnd, SCRM_ACTIVECONFIG, 0, 0);
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 0, 0);
    DebugOutFrom(SaverTag(hwnd), "Finished active config dialog");
    GetCursorPos(&RuntimeState.cursorRef);
}
