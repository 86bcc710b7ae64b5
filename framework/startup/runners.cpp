// The full-screen, preview and change-password modes.
#include "framework/startup/runners.h"

#include "framework/startup/entry.h"

// A preview ends with its parent, whose destruction destroys it. A parent whose
// process ends without destroying it may simply vanish, the preview with it
// untouched (Wine does so): a look every half second finds it gone.
static const UINT ParentWatchPeriod = 500;

static void EndPreviewOfVanishedParent(HWND preview)
{
    if (!IsWindow(preview) || !DestroyWindow(preview))
        PostQuitMessage(2);
}

// Runs the mode's message loop; a preview's loop also watches its parent.
static int PumpUntilQuit(HWND parent = nullptr, HWND preview = nullptr)
{
    UINT_PTR watch = parent != nullptr ? SetTimer(nullptr, 0, ParentWatchPeriod, nullptr) : 0;
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        if (watch != 0 && msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == watch) {
            if (!IsWindow(parent)) {
                KillTimer(nullptr, watch);
                watch = 0;
                EndPreviewOfVanishedParent(preview);
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (watch != 0)
        KillTimer(nullptr, watch);
    return got == 0 ? static_cast<int>(msg.wParam) : 2;
}

int RunSaverMode()
{
    if (!CurrentModeOps.createSaverWindow())
        return 2;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &previous, 0);
    int result = PumpUntilQuit();
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);
    return result;
}

int RunPreviewMode(HWND parent)
{
    HWND preview = CurrentModeOps.createPreviewWindow(parent, 0);
    if (!preview)
        return 2;
    return PumpUntilQuit(parent, preview);
}

int RunChangePasswordMode(HWND owner)
{
    return CurrentModeOps.changePassword(owner);
}
