// Opens the animation window on a bare X server, where the full-screen mode is
// refused and the windowed-mode question is answered Yes.
#pragma once
#include "app/app_main.h"
#include "app/box_watch.h"
#include "app/gl_window.h"
#include "app/platform_spies.h"
#include <GL/gl.h>
#include <gtest/gtest.h>

class WindowedScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpyOnDisplayChanges();
        WatchMessageBoxes({IDYES});
        ASSERT_TRUE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));
        ASSERT_EQ(1u, SeenBoxes().size());
        ASSERT_EQ(0, FullScreen);
        ASSERT_TRUE(SceneWindow != NULL);
    }
    void TearDown() override
    {
        CloseSceneWindow();
        StopWatchingMessageBoxes();
    }
};

inline void DrainMessages()   // dispatched, so that paint requests are answered
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline int CursorCount()   // the display count ShowCursor keeps; visible at 0 and above
{
    int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}
