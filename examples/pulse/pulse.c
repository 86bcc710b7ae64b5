/*
 * Pulse: a hosted screen saver on Lullex.
 *
 * ScrRunHosted asks a window of the saver's own, the host, before the framework
 * acts. This host creates every saver window itself (the full screen and the
 * previews), in a class of its own, and shows its own About box; whatever else
 * the framework asks (the settings sheet, the password change) it passes on to
 * DefClientProc, which answers 0: "do your default". The saver windows fill
 * themselves with a slowly pulsing blue on each timer tick.
 */
#include <windows.h>
#include <lullex.h>

#define PERIOD 40   /* ms between ticks */

static const char PulseClass[] = "PulseSaverClass";
static const char HostClass[] = "PulseHostClass";

static void DrawPulse(HWND hwnd)
{
    RECT area;
    HDC dc = GetDC(hwnd);
    int level = (int)(GetTickCount() / 8 % 512);
    HBRUSH brush;
    if (level > 255)
        level = 511 - level;
    brush = CreateSolidBrush(RGB(0, level / 3, level));
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

/* The saver windows: DefSaverProc keeps the close rules, passwords and timer. */
static LRESULT CALLBACK PulseProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case SCRM_TIMER: DrawPulse(hwnd); return PERIOD;
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

/* The framework's creation values with the saver's own class. lpCreateParams
   must reach DefSaverProc's WM_CREATE: it holds the window's kind. */
static LRESULT CreatePulseWindow(const CREATESTRUCTA *cs)
{
    return (LRESULT)CreateWindowExA(cs->dwExStyle, PulseClass, cs->lpszName, (DWORD)cs->style,
                                    cs->x, cs->y, cs->cx, cs->cy, cs->hwndParent, cs->hMenu,
                                    cs->hInstance, cs->lpCreateParams);
}

static LRESULT ShowAbout(HWND owner)
{
    MessageBoxA(owner, "Pulse: a hosted saver on Lullex.", "About Pulse", MB_OK | MB_ICONINFORMATION);
    return 1;   /* done: the framework shows no About box of its own */
}

/* The host: SCRM_CREATEWINDOW comes for every saver window, after the message
   for its kind (SCRM_CREATESAVER, SCRM_CREATESYSPREVIEW, ...) was answered 0. */
static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case SCRM_CREATEWINDOW: return CreatePulseWindow((const CREATESTRUCTA *)lParam);
    case SCRM_ABOUT:        return ShowAbout((HWND)wParam);
    }
    return DefClientProc(hwnd, msg, wParam, lParam);
}

static void RegisterClassWith(HINSTANCE instance, const char *name, WNDPROC proc)
{
    WNDCLASSEXA wc = {0};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HWND host;
    int result;
    (void)previous;
    (void)commandLine;
    (void)show;
    RegisterClassWith(instance, PulseClass, PulseProc);
    RegisterClassWith(instance, HostClass, HostProc);
    /* A message-only window: it is never shown, it only answers. */
    host = CreateWindowExA(0, HostClass, "Pulse", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, instance, NULL);
    if (!host)
        return 2;
    result = ScrRunHosted(instance, host);
    DestroyWindow(host);
    return result;
}
