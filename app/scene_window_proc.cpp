// The animation window's procedure.
#include "app/app_main.h"
#include "app/gl_window.h"

static void RecordKey(WPARAM key, BYTE down)
{
    if (key < 256)
        KeyState[key] = down;
}

// Only these two commands exactly: a system command's low four bits are the
// system's own and make a different request.
static bool IsSwallowedCommand(WPARAM command)
{
    return command == SC_SCREENSAVE || command == SC_MONITORPOWER;
}

LRESULT CALLBACK SceneWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ACTIVATE:   SceneActive = HIWORD(wParam) == 0 ? 1 : 0; return 0;
    case WM_SYSCOMMAND: if (IsSwallowedCommand(wParam)) return 0; break;
    case WM_CLOSE:      PostQuitMessage(0); return 0;
    case WM_KEYDOWN:    RecordKey(wParam, 1); return 0;
    case WM_KEYUP:      RecordKey(wParam, 0); return 0;
    case WM_SIZE:       ResizeScene(LOWORD(lParam), HIWORD(lParam)); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
