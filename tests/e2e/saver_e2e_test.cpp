// The saver and preview modes of the real program, and the modes it refuses.
#include <stdio.h>

#include "e2e_harness.h"
#include "support/pump.h"

TEST_F(NimbraScr, MouseMovedBeyondTheThresholdEndsTheSaverWithTwo)
{
    SetMouseThreshold(200);
    SetCursorPos(500, 380);
    ASSERT_TRUE(StartPastTheAnimation("/s"));
    HWND saver = WaitForSaverWindow();
    ASSERT_NE(saver, nullptr);
    RECT rect;
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The saver takes the cursor's place as it is created: move only after that.
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(saver) != FALSE; }, 10000));
    SetCursorPos(550, 380);   // within the threshold: the saver stays
    EXPECT_EQ(WaitForChild(&child, 1000), static_cast<DWORD>(STILL_ACTIVE));
    SetCursorPos(720, 380);   // 220 pixels from where it started
    EXPECT_EQ(WaitForChild(&child, 10000), 2u);
}

TEST_F(NimbraScr, KeyboardOnlyThresholdIgnoresTheMouseButAKeyEndsTheSaver)
{
    SetMouseThreshold(999999);
    SetCursorPos(500, 380);
    ASSERT_TRUE(StartPastTheAnimation("/s"));
    HWND saver = WaitForSaverWindow();
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(saver) != FALSE; }, 10000));
    SetCursorPos(10, 10);
    SetCursorPos(1000, 700);
    EXPECT_EQ(WaitForChild(&child, 1500), static_cast<DWORD>(STILL_ACTIVE));
    PostMessageA(saver, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(WaitForChild(&child, 10000), 2u);
}

TEST_F(NimbraScr, PreviewAppearsInsideTheNamedWindowAndEndsWithIt)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2EPreviewParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "E2EPreviewParent", "display properties", WS_POPUP | WS_VISIBLE, 100, 100, 152,
                                  112, nullptr, nullptr, wc.hInstance, nullptr);
    char arguments[32];
    snprintf(arguments, sizeof(arguments), "/p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)));
    ASSERT_TRUE(StartPastTheAnimation(arguments));
    HWND preview = WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverPreview", 20000, parent);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(preview), parent);
    RECT rect;
    GetWindowRect(preview, &rect);
    EXPECT_EQ(rect.right - rect.left, 152);
    EXPECT_EQ(rect.bottom - rect.top, 112);
    EXPECT_EQ(WaitForChild(&child, 500), static_cast<DWORD>(STILL_ACTIVE));
    DestroyWindow(parent);   // closing the page that owns the parent ends the preview
    EXPECT_EQ(WaitForChild(&child, 10000), 2u);
}

TEST_F(NimbraScr, UnknownModeAndLoneSlashEndWithTwoAfterTheAnimation)
{
    for (const char *arguments : {"/x", "/"}) {
        ASSERT_TRUE(StartPastTheAnimation(arguments)) << arguments;
        EXPECT_EQ(WaitForChild(&child, 20000), 2u) << arguments;
        EndChild(&child);
    }
}
