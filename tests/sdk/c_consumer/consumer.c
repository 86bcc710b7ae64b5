/* The smallest saver a C author writes against the installed SDK: it fills its
   window with one colour per tick and leaves the rest to the framework. Built
   twice: with the static framework and with lullex.dll. */
#include <lullex.h>

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
    (void)previous;
    (void)commandLine;
    (void)show;
    return ScrRun(instance, ConsumerSaverProc, NULL, NULL, 0);
}
