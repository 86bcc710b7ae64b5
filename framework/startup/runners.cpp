// The full-screen, preview and change-password modes.
#include "framework/startup/runners.h"

#include "framework/startup/entry.h"

static int PumpUntilQuit()
{
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
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
    if (!CurrentModeOps.createPreviewWindow(parent, 0))
        return 2;
    return PumpUntilQuit();
}

int RunChangePasswordMode(HWND owner)
{
    return CurrentModeOps.changePassword(owner);
}
