/* The smallest saver a C author writes against the installed SDK: it fills its
   window with one colour per tick and leaves the rest to the framework. Built
   twice: with the static framework and with lullex.dll. Its WinMain starts the
   common controls as the guide's does: either package alone must link that. */
#include <lullex.h>
#include <commctrl.h>

static LRESULT CALLBACK ConsumerSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_TIMER) {
        RECT area;
        HDC dc = GetDC(hwnd);
        GetClientRect(hwnd, &area);
        FillRect(dc, &area, (HBRUSH)GetStockObject(WHITE_BRUSH));
        ReleaseDC(hwnd, dc);
        return 100;
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    (void)previous;
    (void)commandLine;
    (void)show;
    InitCommonControlsEx(&controls);
    return ScrRun(instance, ConsumerSaverProc, NULL, NULL, 0);
}
