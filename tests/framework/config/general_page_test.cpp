// The General page: what it shows for the stored settings, what each change
// writes at once, the fixed password rules, the optional boxes, Cancel, agents.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/config/config_harness.h"
#include "framework/config/system_agent.h"
#include "framework/monitor/monitor.h"

namespace {

enum {
    AgentActiveText = 3638, AgentMissingText = 3639, Monitor = 3640, SensitivityList = 3632,
    WaitLabel = 3633, WaitBox = 3634, WaitUpDown = 3635, UnitList = 3636, WaitTrailer = 3637,
    FixedPasswordText = 3644, MuteBox = 3641, ActiveConfigBox = 3643,
};

class GeneralPage : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        PrepareFramework();
        WatchMessageBoxes();
        agentWarned = true;
        Offer(1, 1);
    }
    void TearDown() override
    {
        RemoveAgents();
        DeleteSettingsKey();
    }
    static void Offer(LONG muteSound, LONG activeConfig)
    {
        ChangePrefs([=](ScrPrefs &p) {
            p.supportsMuteSound = muteSound;
            p.supportsActiveConfig = activeConfig;
        });
    }
    // Opens the sheet, runs the actions on the General page, then presses OK.
    static void OnPage(const std::function<void(HWND)> &actions, bool ok = true)
    {
        RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
            actions(w.general);
            if (ok)
                PressOk(w);
            else
                PressCancel(w);
        });
    }
};

DWORD Stored(const char *name)
{
    DWORD value = 0xBADF00D;
    ReadDword(name, &value);
    return value;
}

// What a look over the page sends without changing a value: the focus through every
// control, and each list opened and closed, once confirmed with Enter.
void LookAtEveryControl(HWND page)
{
    for (int id : {SensitivityList, WaitBox, UnitList, MuteBox, ActiveConfigBox, Monitor, WaitBox})
        SetFocus(GetDlgItem(page, id));
    for (int id : {SensitivityList, UnitList}) {
        HWND list = GetDlgItem(page, id);
        SetFocus(list);
        SendMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
        SendMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    }
}

LONG CornerBits(HWND page)
{
    return GetWindowLongA(GetDlgItem(page, Monitor), GWL_STYLE) & 0xFF0;
}

TEST_F(GeneralPage, ShowsTheDefaultsWhenNothingIsStored)
{
    OnPage([](HWND page) {
        EXPECT_EQ(CornerBits(page), 0);
        EXPECT_EQ(SelectedRowText(page, SensitivityList), "High");
        EXPECT_EQ(ListRows(page, SensitivityList),
                  (std::vector<std::string>{"High", "Normal", "Low", "Keyboard only (ignore mouse movement)"}));
        EXPECT_EQ(ControlText(page, WaitBox), "60");
        EXPECT_EQ(SelectedRowText(page, UnitList), "seconds");
        EXPECT_EQ(ListRows(page, UnitList), (std::vector<std::string>{"seconds", "minutes"}));
        EXPECT_FALSE(IsShown(page, FixedPasswordText));
        for (int id : {MuteBox, ActiveConfigBox}) {
            EXPECT_TRUE(IsShown(page, id));
            EXPECT_TRUE(IsEnabled(page, id));
            EXPECT_EQ(IsDlgButtonChecked(page, id), (UINT)BST_UNCHECKED);
        }
        EXPECT_FALSE(IsShown(page, AgentActiveText));   // no agent in this prefix
        EXPECT_TRUE(IsShown(page, AgentMissingText));
    });
    EXPECT_FALSE(agentPresent);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(GeneralPage, ShowsTheStoredSettings)
{
    StoreText("Mouse Corners", "YN-Y");
    StoreDword("Mouse Threshold Index", 3);
    StoreDword("Mouse Threshold", 999999);
    StoreDword("Mute Sound", 1);
    StoreDword("Active Config", 1);
    OnPage([](HWND page) {
        EXPECT_EQ(CornerBits(page), MS_CTOPLEFTNOW | MS_CTOPRIGHTNEV | MS_CBOTLEFTNOW);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(page, Monitor), GWL_STYLE) & MS_KINDMASK, MS_CORNERS);
        EXPECT_EQ(SelectedRowText(page, SensitivityList), "Keyboard only (ignore mouse movement)");
        EXPECT_EQ(IsDlgButtonChecked(page, MuteBox), (UINT)BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(page, ActiveConfigBox), (UINT)BST_CHECKED);
    });
}

struct WaitShown {
    DWORD delay, unit;
    const char *amount, *unitText;
    const char *name;
};

class WaitDisplay : public GeneralPage, public testing::WithParamInterface<WaitShown> {};

TEST_P(WaitDisplay, ShowsWholeMinutesOrSeconds)
{
    StoreDword("Password Delay", GetParam().delay);
    StoreDword("Password Delay Index", GetParam().unit);
    OnPage([](HWND page) {
        EXPECT_EQ(ControlText(page, WaitBox), GetParam().amount);
        EXPECT_EQ(SelectedRowText(page, UnitList), GetParam().unitText);
    }, false);
}

INSTANTIATE_TEST_SUITE_P(Stored, WaitDisplay, testing::Values(
    WaitShown{120, 1, "2", "minutes", "TwoMinutes"},
    WaitShown{90, 1, "1", "minutes", "NinetySecondsAsOneMinute"},
    WaitShown{59, 1, "0", "minutes", "FiftyNineSecondsAsNoMinutes"},
    WaitShown{45, 0, "45", "seconds", "FortyFiveSeconds"},
    WaitShown{5, 7, "0", "minutes", "IndexAboveOneMeansMinutes"}), CaseName<WaitShown>);

TEST_F(GeneralPage, TruncatedMinutesAreStoredAsShownOnTheFirstChange)
{
    StoreDword("Password Delay", 90);
    StoreDword("Password Delay Index", 1);
    OnPage([](HWND page) {
        ChooseListRow(page, SensitivityList, 1);
        EXPECT_EQ(Stored("Password Delay"), 60u);
    });
}

TEST_F(GeneralPage, SwitchingMinutesToSecondsKeepsTheNumber)
{
    StoreDword("Password Delay", 120);
    StoreDword("Password Delay Index", 1);
    OnPage([](HWND page) { ChooseListRow(page, UnitList, 0); });
    EXPECT_EQ(Stored("Password Delay"), 2u);
    EXPECT_EQ(Stored("Password Delay Index"), 0u);
}

struct Typed {
    DWORD unit;
    const char *text;
    DWORD stored;
    const char *name;
};

class TypedAmount : public GeneralPage, public testing::WithParamInterface<Typed> {};

TEST_P(TypedAmount, IsStoredAtOnceOrIgnored)
{
    StoreDword("Password Delay", 60);
    StoreDword("Password Delay Index", GetParam().unit);
    OnPage([](HWND page) {
        TypeText(page, WaitBox, GetParam().text);
        EXPECT_EQ(Stored("Password Delay"), GetParam().stored);   // before OK
    });
    EXPECT_EQ(Stored("Password Delay"), GetParam().stored);
    EXPECT_EQ(Stored("Password Delay Index"), GetParam().unit);
}

INSTANTIATE_TEST_SUITE_P(Amounts, TypedAmount, testing::Values(
    Typed{0, "150", 150, "SecondsTakenAsTyped"},
    Typed{1, "150", 9000, "MinutesTimesSixty"},
    Typed{0, "12abc", 12, "LeadingNumberCounts"},
    Typed{0, "0x1A", 26, "HexadecimalAsTheCLibraryReadsIt"},
    Typed{0, "abc", 60, "TextLeavesTheWait"},
    Typed{0, "-5", 60, "NegativeLeavesTheWait"},
    Typed{1, "99999999", 0x7FFFFFFF, "TooManyMinutesGiveTheLongestWait"}), CaseName<Typed>);

TEST_F(GeneralPage, UpDownStepsTheWaitWithinZeroToNinetyNine)
{
    OnPage([](HWND page) {
        LRESULT range = SendDlgItemMessageA(page, WaitUpDown, UDM_GETRANGE, 0, 0);
        EXPECT_EQ(LOWORD(range), 99);   // upper
        EXPECT_EQ(HIWORD(range), 0);    // lower
        TypeText(page, WaitBox, "98");
        HWND box = GetDlgItem(page, WaitBox);
        SendMessageA(box, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Stored("Password Delay"), 99u);
        SendMessageA(box, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(ControlText(page, WaitBox), "99");
        EXPECT_EQ(Stored("Password Delay"), 99u);
    });
}

struct Sensitivity {
    int row;
    DWORD index, threshold;
    const char *name;
};

class SensitivityRow : public GeneralPage, public testing::WithParamInterface<Sensitivity> {};

TEST_P(SensitivityRow, StoresItsIndexAndThreshold)
{
    StoreDword("Mouse Threshold Index", 2);   // start from "Low" so that every row is a change
    StoreDword("Mouse Threshold", 400);
    if (GetParam().row == 2) {
        StoreDword("Mouse Threshold Index", 0);
        StoreDword("Mouse Threshold", 0);
    }
    OnPage([](HWND page) {
        ChooseListRow(page, SensitivityList, GetParam().row);
        EXPECT_EQ(Stored("Mouse Threshold Index"), GetParam().index);
        EXPECT_EQ(Stored("Mouse Threshold"), GetParam().threshold);
    });
}

INSTANTIATE_TEST_SUITE_P(Rows, SensitivityRow, testing::Values(
    Sensitivity{0, 0, 0, "High"}, Sensitivity{1, 1, 200, "Normal"}, Sensitivity{2, 2, 400, "Low"},
    Sensitivity{3, 3, 999999, "KeyboardOnly"}), CaseName<Sensitivity>);

struct Rule {
    LONG always, never;
    const char *text;
    const char *name;
};

class FixedPasswordRule : public GeneralPage, public testing::WithParamInterface<Rule> {};

TEST_P(FixedPasswordRule, ReplacesTheWaitAndKeepsTheStoredWait)
{
    ChangePrefs([](ScrPrefs &p) {
        p.alwaysRequirePassword = GetParam().always;
        p.neverRequirePassword = GetParam().never;
    });
    StoreDword("Password Delay", 300);
    StoreDword("Password Delay Index", 1);
    OnPage([](HWND page) {
        EXPECT_TRUE(IsShown(page, FixedPasswordText));
        EXPECT_EQ(ControlText(page, FixedPasswordText), GetParam().text);
        for (int id = WaitLabel; id <= WaitTrailer; ++id)
            EXPECT_FALSE(IsShown(page, id)) << id;
        for (int id : {WaitBox, WaitUpDown, UnitList})
            EXPECT_FALSE(IsEnabled(page, id)) << id;
        ChooseListRow(page, SensitivityList, 2);
    });
    EXPECT_EQ(Stored("Mouse Threshold"), 400u);
    EXPECT_EQ(Stored("Password Delay"), 300u);
    EXPECT_EQ(Stored("Password Delay Index"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Prefs, FixedPasswordRule, testing::Values(
    Rule{1, 0, "This screensaver always uses a password", "Always"},
    Rule{0, 1, "This screensaver never requires a password", "Never"},
    Rule{1, 1, "This screensaver always uses a password", "AlwaysWinsOverNever"}), CaseName<Rule>);

TEST_F(GeneralPage, MuteBoxIsHiddenAndIgnoredWithoutSoundSupport)
{
    Offer(0, 1);
    StoreDword("Mute Sound", 1);
    OnPage([](HWND page) {
        EXPECT_FALSE(IsShown(page, MuteBox));
        EXPECT_FALSE(IsEnabled(page, MuteBox));
        CheckDlgButton(page, MuteBox, BST_UNCHECKED);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(MuteBox, BN_CLICKED), (LPARAM)GetDlgItem(page, MuteBox));
        EXPECT_EQ(Stored("Mouse Threshold"), 0xBADF00Du);   // nothing changed, nothing written
        ChooseListRow(page, SensitivityList, 1);
    });
    EXPECT_EQ(Stored("Mouse Threshold"), 200u);
    EXPECT_EQ(Stored("Mute Sound"), 1u);
}

TEST_F(GeneralPage, ActiveConfigBoxIsHiddenWithoutSupport)
{
    Offer(1, 0);
    OnPage([](HWND page) {
        EXPECT_FALSE(IsShown(page, ActiveConfigBox));
        EXPECT_FALSE(IsEnabled(page, ActiveConfigBox));
        EXPECT_TRUE(IsShown(page, MuteBox));
    });
}

TEST_F(GeneralPage, CheckBoxesAreWrittenAtOnce)
{
    OnPage([](HWND page) {
        ClickCheckBox(page, MuteBox);
        EXPECT_EQ(Stored("Mute Sound"), 1u);
        ClickCheckBox(page, ActiveConfigBox);
        EXPECT_EQ(Stored("Active Config"), 1u);
        ClickCheckBox(page, MuteBox);
        EXPECT_EQ(Stored("Mute Sound"), 0u);
    });
}

TEST_F(GeneralPage, CornerChoiceWritesMouseCornersAtOnce)
{
    agentWarned = false;
    OnPage([](HWND page) {
        ChooseCorner(page, 0, 1);
        EXPECT_EQ(ReadText("Mouse Corners"), "Y---");
        ChooseCorner(page, 2, 2);
        EXPECT_EQ(ReadText("Mouse Corners"), "Y-N-");
        EXPECT_EQ(CornerBits(page), MS_CTOPLEFTNOW | MS_CBOTRIGHTNEV);
    });
    ASSERT_EQ(BoxesSeen().size(), 1u);   // no agent: the monitor warns once
    EXPECT_EQ(BoxesSeen()[0].caption, "Warning");
    EXPECT_EQ(ReadText("Mouse Corners"), "Y-N-");
}

TEST_F(GeneralPage, CancelAfterChangesWritesBackTheOpeningValues)
{
    StoreDword("Password Delay", 120);
    StoreDword("Password Delay Index", 1);
    StoreDword("Mouse Threshold", 200);
    StoreDword("Mouse Threshold Index", 1);
    StoreText("Mouse Corners", "-Y--");
    OnPage([](HWND page) {
        ChooseCorner(page, 0, 2);
        ChooseListRow(page, SensitivityList, 3);
        TypeText(page, WaitBox, "7");
        ChooseListRow(page, UnitList, 0);
        ClickCheckBox(page, MuteBox);
        EXPECT_EQ(ReadText("Mouse Corners"), "NY--");
        EXPECT_EQ(Stored("Password Delay"), 7u);
    }, false);
    EXPECT_EQ(Stored("Password Delay"), 120u);
    EXPECT_EQ(Stored("Password Delay Index"), 1u);
    EXPECT_EQ(Stored("Mouse Threshold"), 200u);
    EXPECT_EQ(Stored("Mouse Threshold Index"), 1u);
    EXPECT_EQ(ReadText("Mouse Corners"), "-Y--");
    EXPECT_EQ(Stored("Mute Sound"), 0u);
}

TEST_F(GeneralPage, CancelRightAfterOpeningWritesNothing)
{
    StoreDword("Password Delay", 120);
    OnPage(LookAtEveryControl, false);
    EXPECT_EQ(ReadText("Mouse Corners"), "<absent>");
    EXPECT_EQ(Stored("Password Delay Index"), 0xBADF00Du);

    // A wait stored by hand as a text is read as its four bytes ("60" is 12342
    // seconds, more than the page can show): Cancel leaves the value as it was.
    for (DWORD unit : {0u, 1u}) {
        StoreText("Password Delay", "60");
        StoreDword("Password Delay Index", unit);
        OnPage(LookAtEveryControl, false);
        EXPECT_EQ(ReadText("Password Delay"), "60") << "unit " << unit;
        EXPECT_EQ(ReadText("Mouse Corners"), "<absent>") << "unit " << unit;
    }
}

TEST_F(GeneralPage, ActiveAgentShowsTheCornerInstructions)
{
    UseAgents("sage", NULL);
    SetAgentAnswer("NIMBRA_SAGE", 1);
    OnPage([](HWND page) {
        EXPECT_TRUE(IsShown(page, AgentActiveText));
        EXPECT_FALSE(IsShown(page, AgentMissingText));
        EXPECT_EQ(ControlText(page, AgentActiveText).substr(0, 31), "You can display the screen save");
    });
    EXPECT_TRUE(agentPresent);
}

struct Agents {
    const char *sage, *scrhots;
    int sageAnswer, scrhotsAnswer;
    int expected;
    const char *name;
};

class AgentDetection : public GeneralPage, public testing::WithParamInterface<Agents> {};

TEST_P(AgentDetection, HotCornerLibraryWinsWhenItCanAnswer)
{
    const Agents a = GetParam();
    UseAgents(a.sage, a.scrhots);
    SetAgentAnswer("NIMBRA_SAGE", a.sageAnswer);
    SetAgentAnswer("NIMBRA_SCRHOTS", a.scrhotsAnswer);
    EXPECT_EQ(DetectSystemAgent(), a.expected);
    EXPECT_EQ(DetectSystemAgent(), a.expected);   // loaded afresh each time
}

INSTANTIATE_TEST_SUITE_P(Libraries, AgentDetection, testing::Values(
    Agents{NULL, NULL, 1, 1, 0, "NeitherLibrary"},
    Agents{"sage", NULL, 1, 0, 1, "SystemAgentAlone"},
    Agents{"sage", "scrhots", 1, 0, 0, "HotCornerLibraryOverrules"},
    Agents{"sage", "scrhots-nodetect", 1, 0, 1, "HotCornerLibraryWithoutDetection"},
    Agents{"sage-nodetect", "scrhots", 0, 5, 5, "SystemAgentWithoutDetection"},
    Agents{"sage-nodetect", "scrhots-nodetect", 1, 1, 0, "NoDetectionAnywhere"},
    Agents{NULL, "scrhots-nochange", 0, 3, 3, "HotCornerLibraryAlone"}), CaseName<Agents>);

}   // namespace
