// The animation window's procedure and its projection.
#include "app/app_main.h"
#include "app/gl_window.h"
#include <GL/gl.h>
#include <GL/glu.h>

// Before a context is current (WM_SIZE during window creation) these calls do nothing;
// OpenSceneWindow sets the real projection once the context is current.
void ResizeScene(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLdouble)width / (GLdouble)height, 0.1f, 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

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
