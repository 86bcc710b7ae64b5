// The shared monitor resources, the size snapping and the inner preview window.
#include <gtest/gtest.h>
#include "monitor_harness.h"
#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"
#include "framework/runtime/timer.h"
#include "framework/startup/entry.h"
#include <string>

namespace {

using MonitorResources = FreshMonitor;
using MonitorSnapping = FreshMonitor;
using MonitorPreviewStyle = FreshMonitor;
using MonitorMissingResources = FreshMonitor;

void ExpectRect(const RECT &rect, int left, int top, int right, int bottom)
{
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(right, rect.right);
    EXPECT_EQ(bottom, rect.bottom);
}

TEST_F(MonitorResources, PictureAndButtonSizesComeFromTheBitmaps)
{
    ScrEnsureInit();
    ASSERT_NE(nullptr, monitorBitmap);
    for (HBITMAP button : cornerBitmap)
        EXPECT_NE(nullptr, button);
    EXPECT_EQ(184, monitorWidth);
    EXPECT_EQ(170, monitorHeight);
    EXPECT_EQ(24, cornerWidth);
    EXPECT_EQ(22, cornerHeight);
    EXPECT_FALSE(agentPresent);
    EXPECT_FALSE(agentWarned);
}

TEST_F(MonitorResources, RectanglesFollowTheLayoutString)
{
    ScrEnsureInit();
    ExpectRect(cornerRect[0], 16, 17, 40, 39);
    ExpectRect(cornerRect[1], 145, 17, 169, 39);
    ExpectRect(cornerRect[2], 145, 108, 169, 130);
    ExpectRect(cornerRect[3], 16, 108, 40, 130);
    ExpectRect(screenRect, 16, 17, 169, 130);
}

TEST_F(MonitorResources, EachCornerMenuOffersDefaultNowNeverWithItsOwnIds)
{
    ScrEnsureInit();
    const char *texts[3] = {"Default", "Now", "Never"};
    for (int corner = 0; corner < 4; corner++) {
        ASSERT_NE(nullptr, cornerMenu[corner]);
        ASSERT_EQ(3, GetMenuItemCount(cornerMenu[corner])) << "corner " << corner;
        for (int choice = 0; choice < 3; choice++) {
            char text[32] = "";
            GetMenuStringA(cornerMenu[corner], choice, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(texts[choice], text);
            EXPECT_EQ(0x1000u + 0x100u * corner + choice, GetMenuItemID(cornerMenu[corner], choice));
            EXPECT_EQ(0u, GetMenuState(cornerMenu[corner], choice, MF_BYPOSITION) & MF_CHECKED);
        }
    }
}

TEST_F(MonitorResources, ReleaseFreesAndClearsEverything)
{
    ScrEnsureInit();
    HMENU menu = cornerMenu[2];
    ReleaseMonitorResources();
    EXPECT_EQ(nullptr, monitorBitmap);
    for (HBITMAP button : cornerBitmap)
        EXPECT_EQ(nullptr, button);
    for (HMENU corner : cornerMenu)
        EXPECT_EQ(nullptr, corner);
    EXPECT_FALSE(IsMenu(menu));
    ReleaseMonitorResources();   // a second release finds nothing to free
}

TEST_F(MonitorSnapping, SnapsToPictureSizeAroundWhereItWasPlaced)
{
    ScrEnsureInit();
    const struct {
        int x, y, width, height;
    } cases[] = {
        {200, 150, 100, 60},    // too small
        {100, 100, 301, 251},   // too large, odd sizes
        {120, 90, 184, 60},     // right width, wrong height
        {120, 90, 20, 170},     // right height, wrong width
        {150, 120, 0, 0},       // no size at all
        {37, 41, 184, 170},     // already right: stays where it is
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "placed at " << c.x << "," << c.y << " size " << c.width << "x"
                                        << c.height);
        MonitorHarness harness;
        ASSERT_TRUE(harness.Create(MS_CORNERS, c.x, c.y, c.width, c.height));
        RECT rect = harness.ControlRectInParent();
        int centreX = (c.x + c.x + c.width) / 2, centreY = (c.y + c.y + c.height) / 2;
        EXPECT_EQ(184, rect.right - rect.left);
        EXPECT_EQ(170, rect.bottom - rect.top);
        EXPECT_EQ(centreX - 92, rect.left);
        EXPECT_EQ(centreY - 85, rect.top);
    }
}

TEST_F(MonitorSnapping, SnapsInsideADialogToo)
{
    ScrEnsureInit();
    // An in-memory dialog template with one monitor control of 40 x 30 dialog units.
    struct {
        DLGTEMPLATE dialog;
        WORD menu, cls, title;
        DLGITEMTEMPLATE item;   // DWORD aligned: the header above is 18 + 6 = 24 bytes
        WCHAR itemClass[sizeof "LullexMonitorClass"];
        WORD itemTitle, extra;
    } t = {};
    t.dialog.style = WS_POPUP | WS_VISIBLE;
    t.dialog.cdit = 1;
    t.dialog.cx = 300;
    t.dialog.cy = 200;
    t.item.style = WS_CHILD | WS_VISIBLE | MS_CORNERS;
    t.item.x = 100;
    t.item.y = 60;
    t.item.cx = 40;
    t.item.cy = 30;
    t.item.id = kControlId;
    MultiByteToWideChar(CP_ACP, 0, "LullexMonitorClass", -1, t.itemClass, sizeof t.itemClass / 2);

    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(NULL), &t.dialog, NULL, NULL, 0);
    ASSERT_NE(nullptr, dialog);
    HWND control = GetDlgItem(dialog, kControlId);
    ASSERT_NE(nullptr, control);
    RECT placed = {100, 60, 140, 90};
    MapDialogRect(dialog, &placed);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, dialog, (POINT *)&rect, 2);
    EXPECT_EQ(184, rect.right - rect.left);
    EXPECT_EQ(170, rect.bottom - rect.top);
    EXPECT_EQ((placed.left + placed.right) / 2 - 92, rect.left);
    EXPECT_EQ((placed.top + placed.bottom) / 2 - 85, rect.top);
    DestroyWindow(dialog);
}

TEST_F(MonitorPreviewStyle, CreatesTheInnerWindowOverTheScreenArea)
{
    ScrEnsureInit();
    MonitorHarness harness;
    ASSERT_TRUE(harness.Create(MS_PREVIEW, 10, 10, 184, 170));
    HWND inner = GetWindow(harness.control, GW_CHILD);
    ASSERT_NE(nullptr, inner);
    char cls[64] = "", title[64] = "";
    GetClassNameA(inner, cls, sizeof cls);
    GetWindowTextA(inner, title, sizeof title);
    EXPECT_STREQ("LullexMonitorWindowClass", cls);
    EXPECT_STREQ("Monitor window", title);
    EXPECT_EQ(kControlId, GetDlgCtrlID(inner));
    EXPECT_EQ((LONG)(WS_CHILD | WS_VISIBLE), GetWindowLongA(inner, GWL_STYLE) & ~(WS_CLIPSIBLINGS));
    EXPECT_EQ(0, GetWindowLongA(inner, GWL_EXSTYLE));
    EXPECT_EQ(nullptr, GetWindow(inner, GW_HWNDNEXT));   // the only child

    RECT rect;
    GetWindowRect(inner, &rect);
    MapWindowPoints(NULL, harness.control, (POINT *)&rect, 2);
    ExpectRect(rect, 16, 17, 169, 130);
}

TEST_F(MonitorPreviewStyle, OtherKindsHaveNoInnerWindow)
{
    ScrEnsureInit();
    for (LONG kind : {(LONG)MS_NOTHING, (LONG)MS_CORNERS, 3L}) {
        MonitorHarness harness;
        ASSERT_TRUE(harness.Create(kind, 10, 10, 184, 170));
        EXPECT_EQ(nullptr, GetWindow(harness.control, GW_CHILD)) << "kind " << kind;
    }
}

TEST_F(MonitorPreviewStyle, InnerWindowShowsTheDesktopColour)
{
    ScrEnsureInit();
    MonitorHarness harness;
    ASSERT_TRUE(harness.Create(MS_PREVIEW, 10, 10, 184, 170));
    HWND inner = GetWindow(harness.control, GW_CHILD);
    ASSERT_NE(nullptr, inner);
    RedrawWindow(inner, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pixels shot = CaptureWindow(inner, 153, 113);
    ASSERT_EQ(153, shot.width);
    DWORD desktop = Bgrx(GetSysColor(COLOR_BACKGROUND));
    EXPECT_EQ(desktop, shot.At(0, 0));
    EXPECT_EQ(desktop, shot.At(76, 56));
    EXPECT_EQ(desktop, shot.At(152, 112));
}

// A stand-in preview: it runs a timer and, as it goes, notes whether the timer
// was already stopped for it.
bool timerGoneAtPreviewDestroy;

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        timerGoneAtPreviewDestroy = GetTimerProp(hwnd) == NULL;
        DestroyTimerProp(hwnd);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(MonitorPreviewStyle, InnerWindowStopsThePreviewsTimerBeforeThePreviewGoes)
{
    ScrEnsureInit();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PreviewProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "MonitorTestPreview";
    ASSERT_NE(0, RegisterClassA(&wc));
    MonitorHarness harness;
    ASSERT_TRUE(harness.Create(MS_PREVIEW, 10, 10, 184, 170));
    HWND inner = GetWindow(harness.control, GW_CHILD);
    ASSERT_NE(nullptr, inner);
    HWND preview = CreateWindowExA(0, "MonitorTestPreview", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                   inner, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, preview);
    CreateTimerProp(preview);
    ScrStartTimer(preview);
    TimerData *timer = GetTimerProp(preview);
    ASSERT_NE(nullptr, timer);
    HANDLE thread = timer->threadHandle;

    DestroyWindow(harness.control);
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(timerGoneAtPreviewDestroy);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));   // the thread ended
}

TEST_F(MonitorMissingResources, ControlWithoutLayoutOpensNoMenuAndStillWorks)
{
    ScrEnsureInit();
    for (RECT &rect : cornerRect)
        SetRectEmpty(&rect);
    MonitorHarness harness;
    ASSERT_TRUE(harness.Create(MS_CORNERS, 10, 10, 184, 170));
    MenuVisit visit = ClickAndChoose(harness.control, 0, 0, -1);
    EXPECT_FALSE(visit.opened);
    visit = ClickAndChoose(harness.control, 20, 20, -1);
    EXPECT_FALSE(visit.opened);
}

} // namespace
