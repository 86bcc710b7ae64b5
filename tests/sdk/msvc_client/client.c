/* A saver as a Visual Studio project writes it, against lullex.dll alone: its
   window turns through colours, one a tick, and its settings page joins the
   General page. Compiled as C, and as C++ through client.cpp. There is no
   Microsoft C runtime here to start WinMain, so the client starts it itself; a
   Visual Studio project leaves that to its runtime. */
#include <windows.h>
#include <lullex.h>

#define IDD_SETTINGS 2003
#define PERIOD       50

static LRESULT ShowNextColour(HWND hwnd)
{
    LONG_PTR tick = GetWindowLongPtrA(hwnd, GWLP_USERDATA) + 1;
    RECT area;
    HDC dc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(RGB(tick * 40 % 256, 200, 255 - tick * 40 % 256));
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, tick);
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
    return PERIOD;
}

static LRESULT CALLBACK ClientSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_TIMER)
        return ShowNextColour(hwnd);
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

static INT_PTR CALLBACK ClientPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_NOTIFY:
        if (((const NMHDR *)lParam)->code != PSN_APPLY)
            return FALSE;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)commandLine;
    (void)show;
    return ScrRun(instance, ClientSaverProc, ClientPageProc, NULL, 0);
}

#ifdef __cplusplus
extern "C"
#endif
void WinMainCRTStartup(void)
{
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOWDEFAULT));
}
