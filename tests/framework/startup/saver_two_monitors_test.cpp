// The full-screen saver on a desktop of two monitors. Needs the X servers and the
// Wine prefix of cmake/run-on-two-monitors.sh, which CTest runs it through: heads of
// 1024x768 at (0, 0) and 1280x1024 at (1024, 0).
#include <gtest/gtest.h>

#include <vector>

#include "framework/lullex.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/runners.h"
#include "startup_support.h"

static BOOL CALLBACK CollectHead(HMONITOR, HDC, RECT *rect, LPARAM heads)
{
    reinterpret_cast<std::vector<RECT> *>(heads)->push_back(*rect);
    return TRUE;
}

TEST(SaverOnTwoMonitors, FullScreenSaverCoversTheVirtualScreenAndSpansBothHeads)
{
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "runs only through cmake/run-on-two-monitors.sh";
    std::vector<RECT> heads;
    EnumDisplayMonitors(nullptr, nullptr, CollectHead, reinterpret_cast<LPARAM>(&heads));
    ASSERT_EQ(heads.size(), 2u);
    ScrEnsureInit();
    ClientInstance = GetModuleHandleA(nullptr);
    RegisterTestSaverClass("OvScreenSaverClass", RecordingSaverProc);

    HWND saver = CreateRunSaverWindow();
    ASSERT_NE(saver, nullptr);
    RECT rect;
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 2304);
    EXPECT_EQ(rect.bottom, 1024);
    for (const RECT &head : heads) {
        RECT covered;
        IntersectRect(&covered, &rect, &head);
        EXPECT_TRUE(EqualRect(&covered, &head)) << "head at " << head.left << "," << head.top;
        POINT middle = {(head.left + head.right) / 2, (head.top + head.bottom) / 2};
        EXPECT_EQ(WindowFromPoint(middle), saver) << "head at " << head.left << "," << head.top;
    }
    DestroyWindow(saver);
}
