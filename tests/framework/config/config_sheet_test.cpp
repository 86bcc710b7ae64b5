// The configuration host and its property sheet: pages, caption, buttons, the
// relay of settings notices, the broadcast after OK, the agents, the About entry.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include <gtest/gtest.h>

#include "framework/config/config_harness.h"
#include "framework/config/config_host.h"
#include "framework/monitor/monitor.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/startup/entry.h"
#include "framework/startup/preview_embedding.h"
#include "support/log_capture.h"

namespace {

const UINT ApplyButton = 0x3021;   // the sheet's Apply button id
const int SensitivityList = 3632;

class ConfigSheet : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        PrepareFramework();
        WatchMessageBoxes();
        agentWarned = true;   // the monitor's one-time warning is the monitor's own business
    }
    void TearDown() override
    {
        RemoveAgents();
        DeleteSettingsKey();
    }
};

std::string WindowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string TabText(HWND sheet, int index)
{
    char text[64] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, index, (LPARAM)&item);
    return text;
}

int TabCount(HWND sheet)
{
    return (int)SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMCOUNT, 0, 0);
}

bool ButtonShown(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    return button && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ConfigSheet, ShowsTheGeneralPageAloneWithOkAndCancelAndNoApply)
{
    std::string caption, tab;
    int tabs = 0;
    bool ok = false, cancel = false, apply = true, generalHasMonitor = false;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        caption = WindowText(w.sheet);
        tabs = TabCount(w.sheet);
        tab = TabText(w.sheet, 0);
        ok = ButtonShown(w.sheet, IDOK);
        cancel = ButtonShown(w.sheet, IDCANCEL);
        apply = ButtonShown(w.sheet, ApplyButton);
        generalHasMonitor = GetDlgItem(w.general, 3640) != NULL;
        EXPECT_TRUE(SaveWindowScreenshot(w.sheet, "settings-sheet"));
        PressCancel(w);
    });
    EXPECT_EQ(caption, "Screen Saver Properties");
    EXPECT_EQ(tabs, 1);
    EXPECT_EQ(tab, "General");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(apply);
    EXPECT_TRUE(generalHasMonitor);
}

TEST_F(ConfigSheet, OkAndCancelEndTheDialogWithTheSheetsResult)
{
    int cancelled = RunConfigDialog(NULL, 0, [](SheetWindows &w) { PressCancel(w); });
    int accepted = RunConfigDialog(NULL, 0, [](SheetWindows &w) { PressOk(w); });
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(accepted, 1);
}

int clientPageInits = 0;
INT_PTR CALLBACK ClientPage(HWND, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG)
        ++clientPageInits;
    return msg == WM_INITDIALOG;
}

TEST_F(ConfigSheet, SaverPageOpensFirstWithItsOwnOkAndCancelHiddenAndDisabled)
{
    HMODULE client = LoadLibraryA("config_client_resources.dll");
    ASSERT_NE(client, nullptr);
    PrepareFramework(client);
    ClientDialogProc = ClientPage;
    clientPageInits = 0;
    std::string caption, firstTab, secondTab;
    int tabs = 0, current = -1;
    bool okShown = true, okEnabled = true, cancelShown = true, cancelEnabled = true, ownText = false;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        caption = WindowText(w.sheet);
        tabs = TabCount(w.sheet);
        firstTab = TabText(w.sheet, 0);
        secondTab = TabText(w.sheet, 1);
        HWND page = PropSheet_GetCurrentPageHwnd(w.sheet);
        current = PropSheet_HwndToIndex(w.sheet, page);
        ownText = GetDlgItem(page, 2100) != NULL;
        okShown = IsShown(page, IDOK);
        okEnabled = IsEnabled(page, IDOK);
        cancelShown = IsShown(page, IDCANCEL);
        cancelEnabled = IsEnabled(page, IDCANCEL);
        PressCancel(w);
    });
    ClientDialogProc = NULL;
    EXPECT_EQ(caption, "Test Saver Settings");   // the saver's caption replaces the framework's
    EXPECT_EQ(tabs, 2);
    EXPECT_EQ(firstTab, "General");
    EXPECT_EQ(secondTab, "Test Saver");
    EXPECT_EQ(current, 1);
    EXPECT_TRUE(ownText);
    EXPECT_EQ(clientPageInits, 1);
    EXPECT_FALSE(okShown);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(cancelShown);
    EXPECT_FALSE(cancelEnabled);
}

TEST_F(ConfigSheet, DialogProcedureWithoutDialog2003IsNamedInTheLog)
{
    ChangePrefs([](ScrPrefs &p) { p.debugMessages = 1; });
    ClientDialogProc = ClientPage;   // this program has no dialog 2003
    LogCapture log;
    int tabs = 0;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        tabs = TabCount(w.sheet);
        PressCancel(w);
    });
    ClientDialogProc = NULL;
    EXPECT_EQ(tabs, 1);
    EXPECT_TRUE(log.Has("Lullex: ExecuteUserDialog: no dialog 2003 for the saver's page, FindResourceA error 1814"
                        "___________  \n\r"));
}

// The pixels of an icon's colour picture and its size.
std::vector<DWORD> IconPixels(HICON icon, int *size)
{
    std::vector<DWORD> pixels;
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (!icon || !GetIconInfo(icon, &info))
        return pixels;
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    *size = bitmap.bmWidth;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    pixels.resize(bitmap.bmWidth * bitmap.bmHeight);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

TEST_F(ConfigSheet, SheetShowsTheSaversIconInBothSizes)
{
    std::vector<DWORD> large, small;
    int largeSize = 0, smallSize = 0;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        large = IconPixels((HICON)SendMessageA(w.sheet, WM_GETICON, ICON_BIG, 0), &largeSize);
        small = IconPixels((HICON)SendMessageA(w.sheet, WM_GETICON, ICON_SMALL, 0), &smallSize);
        PressCancel(w);
    });
    // This program is the saver: its icon 100, not the framework's 199.
    HINSTANCE self = GetModuleHandleA(NULL);
    int size = 0;
    HICON own = (HICON)LoadImageA(self, MAKEINTRESOURCEA(100), IMAGE_ICON, 32, 32, 0);
    EXPECT_EQ(largeSize, 32);
    EXPECT_EQ(large, IconPixels(own, &size));
    DestroyIcon(own);
    own = (HICON)LoadImageA(self, MAKEINTRESOURCEA(100), IMAGE_ICON, 16, 16, 0);
    EXPECT_EQ(smallSize, 16);
    EXPECT_EQ(small, IconPixels(own, &size));
    DestroyIcon(own);
}

// ---- The relay of settings notices ------------------------------------------------

struct Route {
    LONG mode;
    LONG code;
    bool toOwner;
    bool toPreview;
};

class NoticeRouting : public ConfigSheet, public testing::WithParamInterface<Route> {};

TEST_P(NoticeRouting, ReachesOwnerAndPreviewsAsTheCodeAndModeSay)
{
    const Route route = GetParam();
    HWND owner = CreateRecorder(NULL, "owner");
    HWND preview = NULL;
    RunConfigDialog(owner, route.mode, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        GeneralSettings settings = {24, {1, 2, 0, 1}, 0, 1234, 300, 1};
        SettingsChangeNotice notice = {w.sheet, route.code, &settings};
        SendMessageA(w.host, SCRM_SETTINGSCHANGED, 0, (LPARAM)&notice);
        PressCancel(w);
    });
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(CountReceived(owner, SCRM_SETTINGSCHANGED), route.toOwner ? 1 : 0);
    EXPECT_EQ(CountReceived(preview, SCRM_SETTINGSCHANGED), route.toPreview ? 1 : 0);
    for (const Received &r : ReceivedMessages()) {
        EXPECT_EQ(r.wParam, (WPARAM)route.code);
        EXPECT_EQ(r.settings.mouseThreshold, 1234);
        EXPECT_EQ(r.settings.corner[1], 2);
    }
    DestroyWindow(owner);
}

std::string RouteName(const testing::TestParamInfo<Route> &info)
{
    char name[32];
    snprintf(name, sizeof name, "Mode%ldCode%04lX", info.param.mode, info.param.code);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Codes, NoticeRouting, testing::Values(
    Route{0, 0xD001, false, true},   // ordinary configuration reports to previews only
    Route{1, 0xD001, true, true},    // active configuration also to the running saver
    Route{0, 0xE001, false, true},
    Route{1, 0xE001, true, true},
    Route{0, 0x0001, false, true},   // neither routing bit counts as both
    Route{1, 0x0001, true, true},
    Route{1, 0x8001, true, false},
    Route{1, 0x4001, false, true}), RouteName);

TEST_F(ConfigSheet, PageChangesReachTheActiveOwnerAndPreviewsWhileTheSheetIsOpen)
{
    HWND owner = CreateRecorder(NULL, "owner");
    HWND preview = NULL;
    int ownerDuring = 0, previewDuring = 0;
    RunConfigDialog(owner, 1, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        ChooseListRow(w.general, SensitivityList, 2);   // "Low"
        ownerDuring = CountReceived(owner, SCRM_SETTINGSCHANGED);
        previewDuring = CountReceived(preview, SCRM_SETTINGSCHANGED);
        PressOk(w);
    });
    EXPECT_EQ(ownerDuring, 1);
    EXPECT_EQ(previewDuring, 1);
    std::vector<WPARAM> ownerCodes, previewCodes;
    for (const Received &r : ReceivedMessages()) {
        if (r.msg != SCRM_SETTINGSCHANGED)
            continue;
        (r.window == owner ? ownerCodes : previewCodes).push_back(r.wParam);
        EXPECT_EQ(r.settings.cbSize, 24u);
        EXPECT_EQ(r.settings.mouseThreshold, 400);
        EXPECT_EQ(r.settings.passwordDelay, 60u);
    }
    EXPECT_EQ(ownerCodes, (std::vector<WPARAM>{0xD001, 0xE001}));
    EXPECT_EQ(previewCodes, (std::vector<WPARAM>{0xD001, 0xE001}));
    DestroyWindow(owner);
}

TEST_F(ConfigSheet, OrdinaryConfigurationNeverReportsToItsOwner)
{
    HWND owner = CreateRecorder(NULL, "owner");
    HWND preview = NULL;
    RunConfigDialog(owner, 0, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        ChooseListRow(w.general, SensitivityList, 1);
        PressOk(w);
    });
    EXPECT_EQ(CountReceived(owner, SCRM_SETTINGSCHANGED), 0);
    EXPECT_EQ(CountReceived(preview, SCRM_SETTINGSCHANGED), 2);
    DestroyWindow(owner);
}

void CALLBACK SomeHook() {}

TEST_F(ConfigSheet, NotifyHookKeepsNoticesFromPreviewsButNotFromTheActiveOwner)
{
    ChangePrefs([](ScrPrefs &p) { p.notifyHook = SomeHook; });
    HWND owner = CreateRecorder(NULL, "owner");
    HWND preview = NULL;
    RunConfigDialog(owner, 1, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        ChooseListRow(w.general, SensitivityList, 3);
        PressOk(w);
    });
    EXPECT_EQ(CountReceived(owner, SCRM_SETTINGSCHANGED), 2);
    EXPECT_EQ(CountReceived(preview, SCRM_SETTINGSCHANGED), 0);
    DestroyWindow(owner);
}

// ---- After OK and after a change -------------------------------------------------

struct OtherThreadWindow {
    HWND window = NULL;
    HANDLE thread = NULL;
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);

    static DWORD WINAPI Run(LPVOID self)
    {
        OtherThreadWindow *me = (OtherThreadWindow *)self;
        me->window = CreateRecorder(NULL, "elsewhere");
        SetEvent(me->ready);
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(me->window);
        return 0;
    }
    OtherThreadWindow()
    {
        DWORD id;
        thread = CreateThread(NULL, 0, Run, this, 0, &id);
        WaitForSingleObject(ready, 5000);
    }
    ~OtherThreadWindow()
    {
        PostThreadMessageA(GetThreadId(thread), WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
};

std::vector<std::string> SectionsReceived(HWND window)
{
    std::vector<std::string> sections;
    for (const Received &r : ReceivedMessages())
        if (r.window == window && r.msg == WM_WININICHANGE)
            sections.push_back(r.text);
    return sections;
}

TEST_F(ConfigSheet, OkBroadcastsTheWindowsSectionEvenWithoutChangesAndLeavesTheAgentsAlone)
{
    UseAgents("sage", "scrhots");
    HWND top = CreateRecorder(NULL, "top");
    OtherThreadWindow elsewhere;
    HWND preview = NULL;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        PressOk(w);
    });
    PumpUntil([&] { return !SectionsReceived(top).empty() && !SectionsReceived(elsewhere.window).empty(); }, 5000);
    EXPECT_EQ(SectionsReceived(top), std::vector<std::string>{"Windows"});
    EXPECT_EQ(SectionsReceived(elsewhere.window), std::vector<std::string>{"Windows"});
    EXPECT_EQ(CountReceived(preview, SCRM_SETTINGSCHANGED), 1);
    EXPECT_EQ(AgentCount("NIMBRA_SAGE", "CHANGED_CALLS"), 0);
    EXPECT_EQ(AgentCount("NIMBRA_SCRHOTS", "CHANGED_CALLS"), 0);
    EXPECT_FALSE(SettingsKeyExists());   // OK does not write; the page already did
    DestroyWindow(top);
}

TEST_F(ConfigSheet, ChangeTellsBothAgentsAfterTheRegistryIsWrittenButDoesNotBroadcast)
{
    UseAgents("sage", "scrhots");
    SetAgentAnswer("NIMBRA_SAGE", 1);
    HWND top = CreateRecorder(NULL, "top");
    int sageDuring = 0, hotsDuring = 0;
    std::string sageSaw, hotsSaw;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        ChooseCorner(w.general, 1, 1);   // top-right: now
        PumpUntil([] { return AgentCount("NIMBRA_SAGE", "CHANGED_CALLS") > 0 &&
                              AgentCount("NIMBRA_SCRHOTS", "CHANGED_CALLS") > 0; }, 5000);
        sageDuring = AgentCount("NIMBRA_SAGE", "CHANGED_CALLS");
        hotsDuring = AgentCount("NIMBRA_SCRHOTS", "CHANGED_CALLS");
        sageSaw = AgentText("NIMBRA_SAGE", "SEEN_CORNERS");
        hotsSaw = AgentText("NIMBRA_SCRHOTS", "SEEN_CORNERS");
        PressCancel(w);
    });
    EXPECT_EQ(sageDuring, 1);
    EXPECT_EQ(hotsDuring, 1);
    EXPECT_EQ(sageSaw, "-Y--");
    EXPECT_EQ(hotsSaw, "-Y--");
    EXPECT_TRUE(SectionsReceived(top).empty());
    // Cancel after the change writes the old corners back and tells the agents again.
    EXPECT_EQ(ReadText("Mouse Corners"), "----");
    EXPECT_EQ(AgentCount("NIMBRA_SAGE", "CHANGED_CALLS"), 2);
    EXPECT_EQ(AgentText("NIMBRA_SCRHOTS", "SEEN_CORNERS"), "----");
    DestroyWindow(top);
}

TEST_F(ConfigSheet, AgentWithoutTheChangeRoutineIsSkipped)
{
    UseAgents("sage-nochange", "scrhots");
    SetAgentAnswer("NIMBRA_SAGE", 1);
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        ChooseListRow(w.general, SensitivityList, 1);
        PressOk(w);
    });
    EXPECT_EQ(AgentCount("NIMBRA_SAGE", "CHANGED_CALLS"), 0);
    EXPECT_EQ(AgentCount("NIMBRA_SAGE", "DETECT_CALLS"), 1);
    EXPECT_EQ(AgentCount("NIMBRA_SCRHOTS", "CHANGED_CALLS"), 1);
    DWORD threshold = 0;
    EXPECT_TRUE(ReadDword("Mouse Threshold", &threshold));
    EXPECT_EQ(threshold, 200u);
}

TEST_F(ConfigSheet, CancelWithoutChangesSendsNothingAndWritesNothing)
{
    UseAgents("sage", "scrhots");
    HWND owner = CreateRecorder(NULL, "owner");
    HWND preview = NULL;
    RunConfigDialog(owner, 1, [&](SheetWindows &w) {
        PlacePreviewMonitor(w.general, &preview);
        PressCancel(w);
    });
    EXPECT_TRUE(ReceivedMessages().empty());
    EXPECT_EQ(AgentCount("NIMBRA_SAGE", "CHANGED_CALLS"), 0);
    EXPECT_EQ(AgentCount("NIMBRA_SCRHOTS", "CHANGED_CALLS"), 0);
    EXPECT_FALSE(SettingsKeyExists());
    DestroyWindow(owner);
}

TEST_F(ConfigSheet, OwnerIsBroughtToTheForegroundWhenTheSheetCloses)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                 NULL, NULL, NULL, NULL);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 10, 200, 100,
                                 NULL, NULL, NULL, NULL);
    RunConfigDialog(owner, 0, [&](SheetWindows &w) {
        SetForegroundWindow(other);
        PressCancel(w);
    });
    PumpUntil([&] { return GetForegroundWindow() == owner; }, 5000);
    EXPECT_EQ(GetForegroundWindow(), owner);
    DestroyWindow(other);
    DestroyWindow(owner);
}

// ---- A running saver's active configuration ---------------------------------------

LRESULT CALLBACK SaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

TEST_F(ConfigSheet, ActiveConfigurationOverARunningSaverChangesItAtOnce)
{
    ChangePrefs([](ScrPrefs &p) {
        p.supportsActiveConfig = 1;
        p.debugMode = 1;
        p.noTimers = 1;
    });
    StoreDword("Active Config", 1);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = SaverProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "OvScreenSaverClass";
    RegisterClassExA(&wc);
    HWND saver = CurrentModeOps.createSaverWindow();
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(RuntimeState.mouseThreshold, 0);

    LONG thresholdDuring = -1;
    DWORD delayDuring = 0;
    RunScripted([saver] { return (int)SendMessageA(saver, WM_RBUTTONDOWN, 0, 0); },
                {[&](SheetWindows &w) {
                    EXPECT_EQ(GetParent(w.host), saver);
                    ChooseListRow(w.general, SensitivityList, 2);
                    TypeText(w.general, 3634, "45");
                    thresholdDuring = RuntimeState.mouseThreshold;
                    delayDuring = RuntimeState.passwordDelay;
                    PressOk(w);
                    return true;
                }});
    EXPECT_EQ(thresholdDuring, 400);
    EXPECT_EQ(delayDuring, 45u);
    EXPECT_TRUE(IsWindow(saver));
    ShowWindow(saver, SW_HIDE);
    // Left alive, the saver would close itself when a later sheet deactivates it and
    // end that sheet's loop; its end posts WM_QUIT, which is for no later case either.
    DestroyWindow(saver);
    MSG quit;
    PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// ---- The About entry -------------------------------------------------------------------

struct MenuEnd {
    int count = 0;
    UINT lastId = 0;
    std::string lastText;
    bool separatorBefore = false;
    UINT separatorId = 0;
};

MenuEnd ReadMenuEnd(HWND sheet)
{
    MenuEnd end;
    HMENU menu = GetSystemMenu(sheet, FALSE);
    end.count = GetMenuItemCount(menu);
    end.lastId = GetMenuItemID(menu, end.count - 1);
    char text[64] = "";
    GetMenuStringA(menu, end.count - 1, text, sizeof text, MF_BYPOSITION);
    end.lastText = text;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoA(menu, end.count - 2, TRUE, &info);
    end.separatorBefore = (info.fType & MFT_SEPARATOR) != 0;
    end.separatorId = info.wID;
    return end;
}

TEST_F(ConfigSheet, SystemMenuEndsWithASeparatorAndTheAboutEntry)
{
    MenuEnd end;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) { end = ReadMenuEnd(w.sheet); });
    EXPECT_EQ(end.lastId, 3500u);
    EXPECT_EQ(end.lastText, "&About");
    EXPECT_TRUE(end.separatorBefore);
    EXPECT_EQ(end.separatorId, 1u);
}

TEST_F(ConfigSheet, NoAboutMenuLeavesTheSystemMenuAsItWas)
{
    ChangePrefs([](ScrPrefs &p) { p.noAboutMenu = 1; });
    int aboutState = 0;
    MenuEnd end;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        aboutState = (int)GetMenuState(GetSystemMenu(w.sheet, FALSE), 3500, MF_BYCOMMAND);
        end = ReadMenuEnd(w.sheet);
    });
    EXPECT_EQ(aboutState, -1);
    EXPECT_NE(end.lastId, 3500u);
    EXPECT_NE(end.lastId, 0u);   // not a separator either
}

INT_PTR CALLBACK ClientDialogProcOfItsOwn(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A client's property-sheet hook may show the sheet over a dialog of its own,
// whose DWLP_USER slot is the client's.
TEST_F(ConfigSheet, SheetOverTheClientsOwnDialogLeavesThatDialogsSlotAlone)
{
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
    } dialogTemplate = {{WS_POPUP, 0, 0, 0, 0, 100, 50}, 0, 0, 0};
    HWND dialog = CreateDialogIndirectParamA(NULL, &dialogTemplate.dialog, NULL, ClientDialogProcOfItsOwn, 0);
    ASSERT_NE(dialog, nullptr);
    SetWindowLongPtrA(dialog, DWLP_USER, 0x5A5A);
    HWND sheet = CreateWindowExA(0, "STATIC", "sheet", WS_POPUP, 0, 0, 10, 10, dialog, NULL, NULL, NULL);
    LONG_PTR ownProcedure = GetWindowLongPtrA(sheet, GWLP_WNDPROC);
    ScrPropSheetCallback(sheet, PSCB_INITIALIZED, 0);
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_USER), 0x5A5A);
    EXPECT_EQ(GetWindowLongPtrA(sheet, GWLP_WNDPROC), ownProcedure);
    DestroyWindow(sheet);
    DestroyWindow(dialog);
}

struct AboutSeen {
    HWND window = NULL;
    HWND owner = NULL;
    std::string caption, versionLine;
};

// Steps: choose About, look at the box and close it, then use the sheet again.
std::vector<SheetStep> AboutScript(AboutSeen *seen, const char *caption, const char *shot)
{
    StopWatchingMessageBoxes();   // the About box has unnumbered texts, like a message box
    return {
        [](SheetWindows &w) { PostMessageA(w.sheet, WM_SYSCOMMAND, 3500, 0); return true; },
        [seen, caption, shot](SheetWindows &) {
            seen->window = FindWindowA("#32770", caption);
            if (!seen->window || !IsWindowVisible(seen->window))
                return false;
            seen->owner = GetWindow(seen->window, GW_OWNER);
            seen->caption = WindowText(seen->window);
            seen->versionLine = ControlText(seen->window, 10);
            if (shot) {
                EXPECT_TRUE(SaveWindowScreenshot(seen->window, shot));
            }
            PostMessageA(seen->window, WM_COMMAND, IDOK, 0);
            return true;
        },
        [seen](SheetWindows &) { return !IsWindow(seen->window); },
        [](SheetWindows &w) {
            ChooseListRow(w.general, SensitivityList, 1);
            PressOk(w);
            return true;
        },
    };
}

TEST_F(ConfigSheet, AboutEntryOpensTheFrameworkAboutBoxOverTheSheet)
{
    AboutSeen seen;
    HWND sheet = NULL;
    std::vector<SheetStep> steps = AboutScript(&seen, "About Lullex", "about-box");
    steps.insert(steps.begin(), [&sheet](SheetWindows &w) { sheet = w.sheet; return true; });
    int result = RunConfigSteps(NULL, 0, steps);
    EXPECT_EQ(seen.owner, sheet);
    EXPECT_EQ(seen.versionLine, "Lullex v1.5s");
    EXPECT_EQ(result, 1);   // the sheet went on working after the box
    DWORD threshold = 0;
    EXPECT_TRUE(ReadDword("Mouse Threshold", &threshold));
    EXPECT_EQ(threshold, 200u);
}

TEST_F(ConfigSheet, SaverWithItsOwnAboutBoxShowsThatOne)
{
    HMODULE client = LoadLibraryA("config_client_resources.dll");
    ASSERT_NE(client, nullptr);
    PrepareFramework(client);
    ClientHasAboutBox = true;
    AboutSeen seen;
    RunConfigSteps(NULL, 0, AboutScript(&seen, "About Test Saver", NULL));
    ClientHasAboutBox = false;
    EXPECT_EQ(seen.caption, "About Test Saver");
    EXPECT_EQ(seen.versionLine, "Test Saver v1.5s");
}

}   // namespace
