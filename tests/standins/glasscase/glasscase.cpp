// Stand-in for the preview helper: a top-level window of class "glasscase"
// holding one child in which a preview can be placed.
//
// The framework starts it with the bare command line "glasscase", so the test
// chooses a variant through the environment it passes on:
//   GLASSCASE_VARIANT=nochild    the window has no child
//   GLASSCASE_VARIANT=nowindow   no "glasscase" window at all (another class)
//   GLASSCASE_VARIANT=slow       busy for 3 s before the first message loop
//   GLASSCASE_VARIANT=vanish     ends its process, its windows left standing, as
//                                soon as a preview has been placed in its child
// It closes itself after GLASSCASE_LIFETIME ms (default 60000) so that a test
// that fails half-way leaves nothing running.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static const UINT_PTR LifetimeTimer = 1, VanishTimer = 2;

static void VanishOnceHoldingAPreview(HWND frame)
{
    if (GetWindow(GetWindow(frame, GW_CHILD), GW_CHILD))
        ExitProcess(0);
}

static LRESULT CALLBACK CaseProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == VanishTimer)
            VanishOnceHoldingAPreview(hwnd);
        else
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void Variant(char *text, DWORD capacity)
{
    text[0] = '\0';
    if (!GetEnvironmentVariableA("GLASSCASE_VARIANT", text, capacity) || strlen(text) >= capacity)
        text[0] = '\0';
}

static UINT Lifetime()
{
    char text[32];
    DWORD length = GetEnvironmentVariableA("GLASSCASE_LIFETIME", text, sizeof(text));
    if (!length || length >= sizeof(text))
        return 60000;
    return static_cast<UINT>(atoi(text));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char variant[32];
    Variant(variant, sizeof(variant));
    if (strcmp(variant, "slow") == 0)
        Sleep(3000);

    const char *className = strcmp(variant, "nowindow") == 0 ? "glasscase_other" : "glasscase";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CaseProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = className;
    RegisterClassA(&wc);

    HWND frame = CreateWindowExA(0, className, "Glasscase", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 320, 260, nullptr, nullptr, instance, nullptr);
    if (!frame)
        return 1;
    if (strcmp(variant, "nochild") != 0)
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, frame, nullptr,
                        instance, nullptr);
    SetTimer(frame, LifetimeTimer, Lifetime(), nullptr);
    if (strcmp(variant, "vanish") == 0)
        SetTimer(frame, VanishTimer, 50, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
