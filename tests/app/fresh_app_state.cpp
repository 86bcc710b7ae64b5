// The cases of an application test program share one process. Before each, the animation's
// process-wide state is put back as a fresh process has it: no window, no class
// registered, no key down, active, no spies or box hook, the scene's state and the
// runtime's generator at their start, and an empty message queue.
#include "app/app_main.h"
#include "app/box_watch.h"
#include "app/gl_window.h"
#include "app/platform_spies.h"
#include "scene/fresh_scene_state.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

void DropQueuedMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
}

class FreshAppState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override
    {
        StopSpying();
        // A window a case left open (on purpose, or by stopping half-way) is closed
        // as the program would close it: a full-screen one gives back the display
        // mode and the cursor. Any boxes that brings are answered here.
        if (SceneWindow || SceneDC || SceneRC) {
            WatchMessageBoxes({});
            CloseSceneWindow();
            StopWatchingMessageBoxes();
        }
        FullScreen = 0;
        UnregisterClassA("OpenGL", GetModuleHandleA(NULL));
        memset(KeyState, 0, sizeof KeyState);
        SceneActive = 1;
        RestoreFreshSceneState();
        DropQueuedMessages();
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshAppState);
    return true;
}();

} // namespace
