// The message-and-frame loop: Escape at an empty queue, quit messages, minimised.
#include "app/scene_window_fixture.h"
#include "scene/scene.h"
#include <string.h>

static bool TimerFired;
static UINT_PTR Timer;

// The timer runs only once the loop has drained the queue and gone on spinning.
static void CALLBACK PressEscapeLater(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    TimerFired = true;
    PostMessageA(SceneWindow, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

static void PressEscapeAfter(UINT ms)
{
    TimerFired = false;
    Timer = SetTimer(NULL, 0, ms, PressEscapeLater);
}

static int FramesDrawn()   // the earth turns by half a degree per frame
{
    return (int)(EarthSpin / 0.5f);
}

class SceneLoop : public WindowedScene {
protected:
    void SetUp() override
    {
        WindowedScene::SetUp();
        DrainMessages();
        memset(KeyState, 0, sizeof KeyState);
        SceneActive = 1;
        EarthSpin = 0;
    }
    void TearDown() override
    {
        KillTimer(NULL, Timer);   // a safety net that was not needed must not fire in a later case
        WindowedScene::TearDown();
    }
};

TEST_F(SceneLoop, EscapeDownAtAnEmptyQueueEndsTheLoopAfterOneFrame)
{
    PressEscapeAfter(5000);   // only a safety net
    PostMessageA(SceneWindow, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    RunSceneLoop();
    EXPECT_FALSE(TimerFired);
    EXPECT_EQ(1, FramesDrawn());
    EXPECT_TRUE(IsWindow(SceneWindow));
}

TEST_F(SceneLoop, EscapePressedAndReleasedBeforeTheQueueEmptiesKeepsAnimating)
{
    PostMessageA(SceneWindow, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(SceneWindow, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    PressEscapeAfter(300);
    RunSceneLoop();
    EXPECT_TRUE(TimerFired) << "the loop ended before Escape was held at an empty queue";
    EXPECT_GT(FramesDrawn(), 1);
}

TEST_F(SceneLoop, OtherKeysAndMouseInputDoNotEndTheLoop)
{
    PostMessageA(SceneWindow, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(SceneWindow, WM_KEYDOWN, 'Q', 0x00100001);
    PostMessageA(SceneWindow, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
    PostMessageA(SceneWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    PostMessageA(SceneWindow, WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
    PressEscapeAfter(300);
    RunSceneLoop();
    EXPECT_TRUE(TimerFired);
}

TEST_F(SceneLoop, MinimisedLoopDrawsNothingYetSpinsAndEndsOnEscape)
{
    SendMessageA(SceneWindow, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    ASSERT_EQ(0, SceneActive);
    PressEscapeAfter(300);
    RunSceneLoop();
    EXPECT_TRUE(TimerFired);
    EXPECT_EQ(0, FramesDrawn());
}

TEST_F(SceneLoop, CloseMessageEndsTheLoopWithTheWindowStillThere)
{
    PressEscapeAfter(5000);
    PostMessageA(SceneWindow, WM_CLOSE, 0, 0);
    RunSceneLoop();
    EXPECT_FALSE(TimerFired);
    EXPECT_TRUE(IsWindow(SceneWindow));
    EXPECT_EQ(0, KeyState[VK_ESCAPE]);
}

TEST_F(SceneLoop, AnyQuitMessageEndsTheLoopWhateverItsCode)
{
    PressEscapeAfter(5000);
    PostQuitMessage(3);
    RunSceneLoop();
    EXPECT_FALSE(TimerFired);
}
