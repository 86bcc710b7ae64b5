// Corner menus, corner choices, the notification to the parent and the
// one-time System Agent warning.
#include <gtest/gtest.h>
#include "monitor_harness.h"
#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"

namespace {

const char kWarningText[] =
    "You must have the System Agent loaded in order for the mouse hot corners to be active.";

POINT CentreOf(const RECT &rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class MonitorCorners : public FreshMonitor {
protected:
    void SetUp() override
    {
        FreshMonitor::SetUp();
        WatchMessageBoxes();
    }
    void Make(LONG style)
    {
        ASSERT_TRUE(harness.Create(style, 40, 40, 184, 170));
        Notifications().clear();
    }
    MenuVisit ClickCorner(int corner, int choice)
    {
        POINT at = CentreOf(cornerRect[corner]);
        return ClickAndChoose(harness.control, at.x, at.y, choice);
    }
    void ExpectOneNotification()
    {
        ASSERT_EQ(1u, Notifications().size());
        EXPECT_EQ(MAKEWPARAM(kControlId, 0), Notifications()[0].wParam);
        EXPECT_EQ((LPARAM)harness.control, Notifications()[0].lParam);
    }
    MonitorHarness harness;
};

// Top-left now, top-right never, bottom-right both bits (reads as default), bottom-left default.
const LONG kMixedStates = MS_CTOPLEFTNOW | MS_CTOPRIGHTNEV | MS_CBOTRIGHTNOW | MS_CBOTRIGHTNEV;

TEST_F(MonitorCorners, ClickInEachCornerOpensThatMenuWithTheStateChecked)
{
    Make(MS_CORNERS | kMixedStates);
    const int checkedItem[4] = {1, 2, 0, 0};
    for (int corner = 0; corner < 4; corner++) {
        MenuVisit visit = ClickCorner(corner, -1);
        ASSERT_TRUE(visit.opened) << "corner " << corner;
        EXPECT_EQ(cornerMenu[corner], visit.menu);
        ASSERT_EQ(3, visit.itemCount);
        for (int item = 0; item < 3; item++)
            EXPECT_EQ(item == checkedItem[corner], (visit.state[item] & MF_CHECKED) != 0)
                << "corner " << corner << " item " << item;
        // The check mark is taken off again once the menu is gone.
        for (int item = 0; item < 3; item++)
            EXPECT_EQ(0u, GetMenuState(cornerMenu[corner], item, MF_BYPOSITION) & MF_CHECKED);
    }
    EXPECT_TRUE(Notifications().empty());   // dismissed menus choose nothing
    EXPECT_EQ(MS_CORNERS | kMixedStates, harness.Style() & 0xFFF);
    EXPECT_TRUE(BoxesSeen().empty());
}

TEST_F(MonitorCorners, ClicksOutsideTheButtonsOpenNoMenu)
{
    Make(MS_CORNERS);
    const POINT misses[] = {
        {92, 85},     // middle of the screen
        {40, 17},     // just right of the top-left button (right edge is outside)
        {16, 39},     // just below it
        {15, 17},     // just left of it
        {169, 130},   // bottom-right corner point itself
        {0, 0},
    };
    for (POINT at : misses)
        EXPECT_FALSE(ClickAndChoose(harness.control, at.x, at.y, -1).opened) << at.x << "," << at.y;
    // The buttons' own first pixels do hit.
    EXPECT_EQ(cornerMenu[0], ClickAndChoose(harness.control, 16, 17, -1).menu);
    EXPECT_EQ(cornerMenu[2], ClickAndChoose(harness.control, 168, 129, -1).menu);
}

TEST_F(MonitorCorners, WhereButtonsOverlapTheLastCornerWins)
{
    Make(MS_CORNERS);
    cornerRect[1] = cornerRect[0];
    cornerRect[3] = cornerRect[0];
    POINT at = CentreOf(cornerRect[0]);
    EXPECT_EQ(cornerMenu[3], ClickAndChoose(harness.control, at.x, at.y, -1).menu);
}

TEST_F(MonitorCorners, ChoiceRewritesExactlyThatCornerAndNotifiesTheParent)
{
    agentPresent = true;
    const struct {
        LONG style;
        int corner, choice;
        LONG expected;
    } cases[] = {
        // both bits of top-left set: shown as Default, Now leaves 0x10 only
        {MS_CORNERS | 0x30, 0, 1, MS_CORNERS | 0x10},
        {MS_CORNERS | 0x30, 0, 0, MS_CORNERS},
        {MS_CORNERS | 0x10, 0, 2, MS_CORNERS | 0x20},
        {MS_CORNERS | kMixedStates, 1, 1, MS_CORNERS | 0x10 | 0x40},
        {MS_CORNERS | kMixedStates, 2, 2, MS_CORNERS | 0x10 | 0x80 | 0x200},
        {MS_CORNERS | kMixedStates, 3, 1, MS_CORNERS | 0x10 | 0x80 | 0x400},
        {MS_CORNERS | 0xFF0, 3, 2, MS_CORNERS | 0x800},   // every corner both-set: all read as default
        // picture only: the buttons are not drawn, yet the corners still work
        {MS_NOTHING, 2, 1, MS_NOTHING | 0x100},
        {3 | 0x400, 3, 0, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style << " corner " << c.corner
                                        << " choice " << c.choice);
        MonitorHarness each;
        ASSERT_TRUE(each.Create(c.style, 40, 40, 184, 170));
        Notifications().clear();
        POINT at = CentreOf(cornerRect[c.corner]);
        ASSERT_TRUE(ClickAndChoose(each.control, at.x, at.y, c.choice).opened);
        EXPECT_EQ(c.expected, each.Style() & 0xFFF);
        EXPECT_EQ((LONG)(WS_CHILD | WS_VISIBLE), each.Style() & ~0xFFFL);
        ASSERT_EQ(1u, Notifications().size());
        EXPECT_EQ(MAKEWPARAM(kControlId, 0), Notifications()[0].wParam);
        EXPECT_EQ((LPARAM)each.control, Notifications()[0].lParam);
    }
    EXPECT_TRUE(BoxesSeen().empty());
}

TEST_F(MonitorCorners, ChoosingTheCurrentStateStillRepaintsAndNotifies)
{
    agentPresent = true;
    Make(MS_CORNERS | MS_CTOPRIGHTNOW);
    int paintsBefore = ControlPaints();
    ASSERT_TRUE(ClickCorner(1, 1).opened);
    EXPECT_EQ(MS_CORNERS | MS_CTOPRIGHTNOW, harness.Style() & 0xFFF);
    ExpectOneNotification();
    EXPECT_GT(Notifications()[0].paintsSoFar, paintsBefore);   // painted before the parent heard
}

TEST_F(MonitorCorners, CommandIdsOutsideTheCornerRangeChangeNothing)
{
    agentPresent = true;
    Make(MS_CORNERS | 0x5A0);
    const UINT ids[] = {0x1003, 0x10FF, 0x1103, 0x1400, 0x1F01, 0x0503, 0xFFFF};
    int paintsBefore = ControlPaints();
    for (UINT id : ids)
        SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
    EXPECT_EQ(MS_CORNERS | 0x5A0, harness.Style() & 0xFFF);
    EXPECT_TRUE(Notifications().empty());
    EXPECT_EQ(paintsBefore, ControlPaints());
}

TEST_F(MonitorCorners, CommandIdIsReadFromTheLowWordOnly)
{
    agentPresent = true;
    Make(MS_CORNERS);
    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1202, 0x1234), 0);
    EXPECT_EQ(MS_CORNERS | MS_CBOTRIGHTNEV, harness.Style() & 0xFFF);
    ExpectOneNotification();
}

TEST_F(MonitorCorners, WarningComesOnceOnTheFirstChoiceAndTheChoiceStillApplies)
{
    Make(MS_CORNERS);
    ASSERT_TRUE(ClickCorner(0, 2).opened);
    ASSERT_EQ(1u, BoxesSeen().size());
    EXPECT_EQ(kWarningText, BoxesSeen()[0].text);
    EXPECT_EQ("Warning", BoxesSeen()[0].caption);
    EXPECT_EQ(harness.parent, BoxesSeen()[0].owner);
    EXPECT_TRUE(BoxesSeen()[0].warningIcon);
    EXPECT_TRUE(agentWarned);
    EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNEV, harness.Style() & 0xFFF);
    ExpectOneNotification();

    ASSERT_TRUE(ClickCorner(3, 1).opened);
    EXPECT_EQ(1u, BoxesSeen().size());
    EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNEV | MS_CBOTLEFTNOW, harness.Style() & 0xFFF);
}

TEST_F(MonitorCorners, OutOfRangeCommandStillUsesUpTheWarning)
{
    Make(MS_CORNERS);
    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1403, 0), 0);
    EXPECT_EQ(1u, BoxesSeen().size());
    EXPECT_TRUE(agentWarned);
    EXPECT_EQ(MS_CORNERS, harness.Style() & 0xFFF);
    EXPECT_TRUE(Notifications().empty());

    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1001, 0), 0);
    EXPECT_EQ(1u, BoxesSeen().size());
    EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNOW, harness.Style() & 0xFFF);
}

TEST_F(MonitorCorners, NoWarningWhenTheAgentIsPresent)
{
    agentPresent = true;
    Make(MS_CORNERS);
    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1101, 0), 0);
    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1302, 0), 0);
    EXPECT_TRUE(BoxesSeen().empty());
    EXPECT_FALSE(agentWarned);
    EXPECT_EQ(MS_CORNERS | MS_CTOPRIGHTNOW | MS_CBOTLEFTNEV, harness.Style() & 0xFFF);
    EXPECT_EQ(2u, Notifications().size());
}

TEST_F(MonitorCorners, MissingMenusAndPictureNeverCrashTheControl)
{
    ReleaseMonitorResources();
    agentPresent = true;
    Make(MS_CORNERS);
    POINT at = CentreOf(cornerRect[0]);
    EXPECT_FALSE(ClickAndChoose(harness.control, at.x, at.y, -1).opened);
    SendMessageA(harness.control, WM_COMMAND, MAKEWPARAM(0x1001, 0), 0);
    EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNOW, harness.Style() & 0xFFF);
    ExpectOneNotification();
}

} // namespace
