// The animation's key table, active flag and message-and-frame loop, and the saver
// window procedure handed to the framework.
#include "app/app_main.h"
#include "app/gl_window.h"
#include "framework/lullex.h"
#include "scene/scene.h"

BYTE KeyState[256];
BYTE SceneActive = 1;

const char SceneTitle[] = "Nimbra by Tamsin Quell - http://www.example.org/nimbra/";

static MSG LoopMessage;

// Never blocks: an empty queue means one frame, drawn only while the window is not
// minimised, and a swap either way. Escape is tested after the frame is drawn, so the
// last frame is never shown.
void RunSceneLoop()
{
    for (;;) {
        if (PeekMessageA(&LoopMessage, NULL, 0, 0, PM_REMOVE)) {
            if (LoopMessage.message == WM_QUIT)
                return;
            TranslateMessage(&LoopMessage);
            DispatchMessageA(&LoopMessage);
            continue;
        }
        if (SceneActive && !DrawFrame())
            return;
        if (KeyState[VK_ESCAPE])
            return;
        SwapBuffers(SceneDC);
    }
}

LRESULT CALLBACK SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefSaverProc(hwnd, msg, wParam, lParam);
}
