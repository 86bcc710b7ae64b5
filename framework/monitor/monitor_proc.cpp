// The two window procedures of the monitor control and its creation steps.
#include "framework/monitor/monitor.h"
#include "framework/monitor/monitor_handlers.h"
#include "framework/services/services.h"
#include "framework/lullex.h"

LRESULT CALLBACK MonitorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:      SnapToPictureSize(hwnd); CreateScreenWindowIfPreview(hwnd); return 0;
    case WM_PAINT:       PaintMonitor(hwnd); return 0;
    case WM_LBUTTONDOWN: TrackCornerMenu(hwnd, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_COMMAND:     ApplyCornerChoice(hwnd, LOWORD(wParam)); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static LRESULT FillWithDesktopColour(HWND hwnd, HDC dc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BACKGROUND));
    return 1;
}

// The preview sits in the inner window; its timer must stop before the
// preview itself goes, so that the thread never ticks a dying window.
static void StopPreviewTimer(HWND hwnd)
{
    HWND preview = GetWindow(hwnd, GW_CHILD);
    if (preview)
        ScrStopTimer(preview);
}

LRESULT CALLBACK MonitorScreenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND: return FillWithDesktopColour(hwnd, (HDC)wParam);
    case WM_DESTROY:    StopPreviewTimer(hwnd); break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void SnapToPictureSize(HWND hwnd)
{
    RECT window;
    GetWindowRect(hwnd, &window);
    if (window.right - window.left == monitorWidth && window.bottom - window.top == monitorHeight)
        return;
    POINT centre = {(window.left + window.right) / 2, (window.top + window.bottom) / 2};
    HWND parent = GetParent(hwnd);
    if (parent)
        ScreenToClient(parent, &centre);
    MoveWindow(hwnd, centre.x - monitorWidth / 2, centre.y - monitorHeight / 2,
               monitorWidth, monitorHeight, FALSE);
}

void CreateScreenWindowIfPreview(HWND hwnd)
{
    if ((GetWindowLongA(hwnd, GWL_STYLE) & MS_KINDMASK) != MS_PREVIEW)
        return;
    CreateWindowExA(0, "LullexMonitorWindowClass", "Monitor window", WS_CHILD | WS_VISIBLE,
                    screenRect.left, screenRect.top,
                    screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
                    hwnd, (HMENU)(INT_PTR)GetDlgCtrlID(hwnd), FrameworkModule, NULL);
}
