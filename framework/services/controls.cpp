// Registration of the monitor control's two window classes.
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"

static ATOM RegisterMonitorClass(const char *name, UINT style, WNDPROC procedure)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = FrameworkModule;
    wc.hIcon = NULL;
    wc.hCursor = NULL;
    wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

bool RegisterControls()
{
    if (!RegisterMonitorClass("LullexMonitorClass", CS_GLOBALCLASS, MonitorProc)) {
        DebugOut("Lullex: failed to register monitor class");
        DebugMessageBox(NULL, "Failed to register monitor class", "Lullex DLL");
        return false;
    }
    if (!RegisterMonitorClass("LullexMonitorWindowClass", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                              MonitorScreenProc)) {
        DebugOut("Lullex: Failed to register monitor window class");
        DebugMessageBox(NULL, "Failed to register monitor window class", "Lullex DLL");
        return false;
    }
    DebugOut("Lullex: succesfully registered controls");
    return true;
}

bool UnregisterControls()
{
    bool windowClassGone = UnregisterClassA("LullexMonitorWindowClass", FrameworkModule) != 0;
    if (!windowClassGone) {
        DebugOut("Lullex: failed to unregister monitor window class");
        DebugMessageBox(NULL, "Failed to unregister monitor window class", "Lullex");
    }
    bool monitorClassGone = UnregisterClassA("LullexMonitorClass", FrameworkModule) != 0;
    if (!monitorClassGone) {
        DebugOut("Lullex: failed to unregister monitor class");
        DebugMessageBox(NULL, "Failed to unregister monitor class", "Lullex");
    }
    if (windowClassGone && monitorClassGone)
        DebugOut("Lullex: successfully unregistered controls");
    else
        DebugOut("Lullex: error unregistering controls...");
    return windowClassGone && monitorClassGone;
}
