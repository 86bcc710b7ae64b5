#include <gtest/gtest.h>

#include "framework/runtime/runtime_harness.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"

class SaverProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartFresh();
        ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 1; prefs.noTimers = 1; });
        UsePasswordStandIn(false);
    }
    void TearDown() override { EXPECT_TRUE(DrainTimerThreads(10000)); }

    // A full saver whose settings are known, with the cursor resting at its reference.
    HWND FullSaverAt(POINT cursor, LONG threshold)
    {
        SetCursorPos(cursor.x, cursor.y);
        HWND hwnd = CreateFullSaver();
        RuntimeState.cursorRef = cursor;
        RuntimeState.mouseThreshold = threshold;
        DiscardPostedCloses(hwnd);
        return hwnd;
    }

    LogCapture log;
};

struct Trigger {
    const char *name;
    UINT msg;
    WPARAM wParam;
    bool exemptInDebugMode;
};

static const Trigger Triggers[] = {
    {"key", WM_KEYDOWN, 'A', false},
    {"escape", WM_KEYDOWN, VK_ESCAPE, false},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, false},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, false},
    {"deactivation", WM_ACTIVATE, WA_INACTIVE, true},
    {"application deactivation", WM_ACTIVATEAPP, FALSE, true},
    {"caption deactivation", WM_NCACTIVATE, FALSE, true},
    {"mouse move", WM_MOUSEMOVE, 0, true},
};

// Each trigger on a full saver and on a preview, with debug mode off and on and
// with a dialog shown over the saver.
TEST_F(SaverProcTest, ClosingTriggersPostCloseOnlyWhereTheRulesAllow)
{
    HWND parent = CreateParentWindow();
    for (const Trigger &trigger : Triggers) {
        for (int preview = 0; preview < 2; preview++) {
            for (int debugMode = 0; debugMode < 2; debugMode++) {
                for (int dialog = 0; dialog < 2; dialog++) {
                    ChangePrefs([&](ScrPrefs &prefs) { prefs.debugMode = debugMode; });
                    POINT origin = {100, 100};
                    SetCursorPos(origin.x, origin.y);
                    HWND hwnd = preview ? CreateChildSaver(parent) : CreateFullSaver();
                    RuntimeState.cursorRef = origin;
                    RuntimeState.mouseThreshold = 0;
                    RuntimeState.dialogActive = dialog;
                    if (trigger.msg == WM_MOUSEMOVE)
                        SetCursorPos(origin.x + 5, origin.y);
                    DiscardPostedCloses(hwnd);
                    SendMessageA(hwnd, trigger.msg, trigger.wParam, 0);
                    bool expected = !preview && !dialog && !(debugMode && trigger.exemptInDebugMode);
                    EXPECT_EQ(expected, ClosePosted(hwnd))
                        << trigger.name << (preview ? " preview" : " full") << " debugMode " << debugMode
                        << " dialog " << dialog;
                    RuntimeState.dialogActive = 0;
                    DestroyWindow(hwnd);
                }
            }
        }
    }
    DestroyWindow(parent);
}

TEST_F(SaverProcTest, ClosingTriggersLogWhatTheyDo)
{
    HWND hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(hwnd, WM_MBUTTONDOWN, 0, 0);
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    SetCursorPos(110, 100);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    SendMessageA(hwnd, WM_KEYUP, 'A', 0);
    EXPECT_TRUE(log.Has(Plain("WM_KEYDOWN: Misc key pressed: sending Close")));
    EXPECT_EQ(2, log.Count(Full("WM_LBUTTONDOWN: sending Close")));
    EXPECT_TRUE(log.Has(Full("WM_ACTIVATE: about to inactivate window, so sending Close")));
    EXPECT_TRUE(log.Has(Full("WM_MOUSEMOVE: gone beyond threshold, sending Close")));
    EXPECT_TRUE(log.Has(Full("WM_KEYUP: ignoring it")));

    RuntimeState.dialogActive = 1;
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(log.Has(Plain("WM_KEYDOWN: Misc. key pressed, but active dialog, so ignoring it.")));
    EXPECT_TRUE(log.Has(Full("WM_LBUTTONDOWN: but a dialog is active, so ignoring it.")));
    EXPECT_TRUE(log.Has(Full("WM_ACTIVATE: but a dialog is active, so ignoring it.")));
    EXPECT_TRUE(log.Has(Full("WM_MOUSEMOVE: but dialog active, so ignoring")));
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: active dialog, so ignoring close request")));
    EXPECT_TRUE(IsWindow(hwnd));
    RuntimeState.dialogActive = 0;
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, ActivationGainedAndKeyUpDoNotClose)
{
    // WM_ACTIVATE itself is left out: DefWindowProcA moves the focus, which on a
    // hidden test window brings real activation changes of its own.
    HWND hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hwnd, WM_KEYUP, 'A', 0);
    EXPECT_FALSE(ClosePosted(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, AltKeysAndF10DoNotClose)
{
    HWND hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, WM_SYSKEYDOWN, VK_MENU, 0x20000000);
    SendMessageA(hwnd, WM_SYSKEYDOWN, 'X', 0x20000000);
    SendMessageA(hwnd, WM_SYSKEYDOWN, VK_F10, 0);
    EXPECT_FALSE(ClosePosted(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

struct ThresholdCase {
    LONG threshold;
    int dx, dy;
    bool closes;
};

TEST_F(SaverProcTest, MouseThresholdIsStrictlyGreaterOnEitherAxis)
{
    static const ThresholdCase cases[] = {
        {0, 0, 0, false},     {0, 1, 0, true},      {0, 0, 1, true},     {0, -1, 0, true},
        {200, 200, 0, false}, {200, 201, 0, true},  {200, 0, 200, false}, {200, 0, 201, true},
        {200, -200, 200, false}, {200, -201, 0, true}, {200, 150, -201, true},
        {999999, 500, 400, false},
    };
    POINT origin = {400, 300};
    HWND hwnd = FullSaverAt(origin, 0);
    for (const ThresholdCase &c : cases) {
        RuntimeState.mouseThreshold = c.threshold;
        RuntimeState.cursorRef = origin;
        SetCursorPos(origin.x + c.dx, origin.y + c.dy);
        DiscardPostedCloses(hwnd);
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
        EXPECT_EQ(c.closes, ClosePosted(hwnd))
            << "threshold " << c.threshold << " dx " << c.dx << " dy " << c.dy;
    }
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, SlowDriftAddsUpFromTheReference)
{
    POINT origin = {400, 300};
    HWND hwnd = FullSaverAt(origin, 200);
    for (int step = 1; step <= 4; step++) {
        SetCursorPos(origin.x + step * 50, origin.y);
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
        EXPECT_FALSE(ClosePosted(hwnd)) << step * 50;
    }
    SetCursorPos(origin.x + 201, origin.y);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(ClosePosted(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, CreationReadsStoredSettingsAndResetsTheState)
{
    ScopedValue threshold(SaverKey, "Mouse Threshold", 200);
    ScopedValue delay(SaverKey, "Password Delay", 15);
    SetCursorPos(321, 234);
    RuntimeState.dialogActive = 1;
    DWORD before = GetTickCount();
    HWND hwnd = CreateFullSaver();
    DWORD after = GetTickCount();
    EXPECT_EQ(200, RuntimeState.mouseThreshold);
    EXPECT_EQ(15u, RuntimeState.passwordDelay);
    EXPECT_EQ(0, RuntimeState.dialogActive);
    EXPECT_EQ(321, RuntimeState.cursorRef.x);
    EXPECT_EQ(234, RuntimeState.cursorRef.y);
    EXPECT_LE(before, RuntimeState.passwordClock);
    EXPECT_GE(after, RuntimeState.passwordClock);
    EXPECT_TRUE(log.Has(Full("WM_CREATE...")));
    EXPECT_EQ(SAVERKIND_FULLSCREEN, Client.createKind);
    DestroyWindow(hwnd);
}

static void *paramsAfterCreate;

static LRESULT CALLBACK WatchCreateParams(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefSaverProc(hwnd, msg, wParam, lParam);
    if (msg == WM_CREATE)
        paramsAfterCreate = ((CREATESTRUCTA *)lParam)->lpCreateParams;
    return result;
}

TEST_F(SaverProcTest, CreationFreesTheCreationRecordAndClearsIt)
{
    SaverCreateParams *params = (SaverCreateParams *)malloc(sizeof(SaverCreateParams));
    params->reserved = 0;
    params->kind = SAVERKIND_FULLSCREEN;
    paramsAfterCreate = params;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WatchCreateParams;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "RuntimeTestWatchClass";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "RuntimeTestWatchClass", "SaverWindow", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                GetModuleHandleA(NULL), params);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(nullptr, paramsAfterCreate);
    DestroyWindow(hwnd);
}

// SC_CLOSE that DefWindowProcA receives turns into a WM_CLOSE to the window.
TEST_F(SaverProcTest, SystemCommandsAreSwallowedOnTheFullSaverOnly)
{
    HWND parent = CreateParentWindow();
    HWND hwnd = FullSaverAt({100, 100}, 0);
    EXPECT_EQ(0, SendMessageA(hwnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0));
    EXPECT_TRUE(log.Has(Full("WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running.")));
    EXPECT_EQ(0, SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(log.Has(Full("WM_SYSCOMMAND: gobbling up a SC_CLOSE")));
    EXPECT_EQ(0, Client.closeMessages);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);

    ChangePrefs([](ScrPrefs &prefs) { prefs.debugMode = 1; });
    hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(log.Has(Full("WM_SYSCOMMAND: should be gobbling up a SC_CLOSE, but am not because we're in debug mode.")));
    EXPECT_EQ(1, Client.closeMessages);
    EXPECT_FALSE(IsWindow(hwnd));

    HWND preview = CreateChildSaver(parent);
    int logged = (int)log.Lines().size();
    SendMessageA(preview, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_EQ(logged, (int)log.Lines().size());
    SendMessageA(preview, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(2, Client.closeMessages);
    EXPECT_FALSE(IsWindow(preview));
    DestroyWindow(parent);
}

TEST_F(SaverProcTest, CursorIsHiddenOverTheFullSaverOnly)
{
    HWND parent = CreateParentWindow();
    HWND preview = CreateChildSaver(parent);
    SendMessageA(preview, WM_SETCURSOR, (WPARAM)preview, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(NULL, (LPCSTR)IDC_ARROW), GetCursor());
    HWND hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, WM_SETCURSOR, (WPARAM)hwnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(nullptr, GetCursor());
    ChangePrefs([](ScrPrefs &prefs) { prefs.debugMode = 1; });
    SendMessageA(hwnd, WM_SETCURSOR, (WPARAM)hwnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(NULL, (LPCSTR)IDC_ARROW), GetCursor());
    DestroyWindow(hwnd);
    DestroyWindow(parent);
}

struct ActiveConfigInput {
    const char *name;
    UINT msg;
    WPARAM wParam;
};

static const ActiveConfigInput ActiveConfigInputs[] = {
    {"shift", WM_KEYDOWN, VK_SHIFT},
    {"control", WM_KEYDOWN, VK_CONTROL},
    {"scroll lock", WM_KEYDOWN, VK_SCROLL},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON},
};

TEST_F(SaverProcTest, ActiveConfigurationOpensOnlyWhenSupportedAndSwitchedOn)
{
    for (const ActiveConfigInput &input : ActiveConfigInputs) {
        for (int supported = 0; supported < 2; supported++) {
            for (int setting = 0; setting < 2; setting++) {
                Client = ClientScript();
                ChangePrefs([&](ScrPrefs &prefs) { prefs.supportsActiveConfig = supported; });
                HWND hwnd = FullSaverAt({100, 100}, 0);
                RuntimeState.activeConfig = setting;
                RuntimeState.passwordDelay = 3600;
                SendMessageA(hwnd, input.msg, input.wParam, 0);
                bool opens = supported && setting;
                EXPECT_EQ(opens ? 1 : 0, Client.activeConfigCalls) << input.name << supported << setting;
                EXPECT_EQ(!opens, ClosePosted(hwnd)) << input.name << supported << setting;
                if (opens) {
                    EXPECT_EQ(1, Client.dialogActiveDuringConfig);
                    EXPECT_EQ((std::vector<WPARAM>{1, 0}), Client.dialogActiveSent);
                    EXPECT_EQ(0, RuntimeState.dialogActive);
                }
                DestroyWindow(hwnd);
            }
        }
    }
    EXPECT_TRUE(log.Has(Plain("WM_KEYDOWN: active-config key pressed. Checking...")));
    EXPECT_TRUE(log.Has(Plain("WM_RBUTTONDOWN: active-config. checking...")));
    EXPECT_TRUE(log.Has(Plain("WM_ACTIVE: but it's not enabled, so sending close")));
    EXPECT_TRUE(log.Has(Full("Starting active config dialog")));
    EXPECT_TRUE(log.Has(Full("Finished active config dialog")));
}

TEST_F(SaverProcTest, ActiveConfigurationIgnoresDebugModeAndAnOpenDialog)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.supportsActiveConfig = 1; prefs.debugMode = 1; });
    HWND hwnd = FullSaverAt({100, 100}, 0);
    RuntimeState.activeConfig = 1;
    RuntimeState.passwordDelay = 3600;
    SendMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(1, Client.activeConfigCalls);
    RuntimeState.dialogActive = 1;
    SendMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(1, Client.activeConfigCalls);
    EXPECT_FALSE(ClosePosted(hwnd));
    EXPECT_TRUE(log.Has(Plain("WM_ACTIVE: but dialog is active, so ignoring")));
    RuntimeState.dialogActive = 0;
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, MovementAfterActiveConfigurationCountsFromWhereTheDialogLeftTheCursor)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.supportsActiveConfig = 1; });
    HWND hwnd = FullSaverAt({100, 100}, 200);
    RuntimeState.activeConfig = 1;
    RuntimeState.passwordDelay = 3600;
    Client.moveCursorDuringConfig = {600, 500};
    SendMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_EQ(600, RuntimeState.cursorRef.x);
    EXPECT_EQ(500, RuntimeState.cursorRef.y);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(ClosePosted(hwnd));
    DestroyWindow(hwnd);
}

// The settings dialog can lengthen the password delay of the running saver, so
// once a password is due it is asked before the dialog opens.
TEST_F(SaverProcTest, ActiveConfigurationAsksForADuePasswordFirst)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ChangePrefs([](ScrPrefs &prefs) { prefs.supportsActiveConfig = 1; });
    HWND hwnd = FullSaverAt({100, 100}, 0);
    RuntimeState.activeConfig = 1;
    RuntimeState.passwordDelay = 0;
    RuntimeState.passwordClock = GetTickCount() - 5000;

    Client.verifyAnswer = 0;
    SendMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(1, Client.verifyCalls);
    EXPECT_EQ(1, Client.dialogActiveDuringVerify);
    EXPECT_EQ(0, Client.activeConfigCalls);
    EXPECT_EQ(0, RuntimeState.dialogActive);
    EXPECT_FALSE(ClosePosted(hwnd));

    Client.verifyAnswer = 1;
    DWORD before = GetTickCount();
    SendMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(2, Client.verifyCalls);
    EXPECT_EQ(1, Client.activeConfigCalls);
    EXPECT_LE(before, RuntimeState.passwordClock);

    ChangePrefs([](ScrPrefs &prefs) { prefs.passwordBeforeActiveConfig = 0; });
    SendMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(2, Client.verifyCalls);
    EXPECT_EQ(2, Client.activeConfigCalls);
    DestroyWindow(hwnd);
}

// A settings page with a live preview, opened over the running saver, makes a
// preview window: the full saver's password clock, cursor reference and dialog
// flag are not the preview's to reset.
TEST_F(SaverProcTest, PreviewMadeWhileTheFullSaverRunsLeavesItsStateAlone)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ScopedValue delay(SaverKey, "Password Delay", 8);
    HWND full = FullSaverAt({100, 100}, 0);
    RuntimeState.passwordClock = GetTickCount() - 9000;   // the delay has passed
    SendMessageA(full, SCRM_DIALOGACTIVE, 1, 0);
    HWND parent = CreateParentWindow();
    SetCursorPos(300, 300);
    CreateChildSaver(parent, SAVERKIND_MONITORPREVIEW);
    EXPECT_EQ(1, RuntimeState.dialogActive);
    EXPECT_EQ(100, RuntimeState.cursorRef.x);

    SendMessageA(full, SCRM_DIALOGACTIVE, 0, 0);
    Client.verifyAnswer = 0;
    SendMessageA(full, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Client.verifyCalls);
    DestroyWindow(parent);
    DestroyWindow(full);
}

TEST_F(SaverProcTest, PreviewDestroysItselfOnCloseAndIgnoresInput)
{
    HWND parent = CreateParentWindow();
    HWND preview = CreateChildSaver(parent);
    EXPECT_EQ(SAVERKIND_SYSTEMPREVIEW, Client.createKind);
    for (const ActiveConfigInput &input : ActiveConfigInputs)
        SendMessageA(preview, input.msg, input.wParam, 0);
    EXPECT_FALSE(ClosePosted(preview));
    EXPECT_EQ(0, Client.activeConfigCalls);
    EXPECT_TRUE(log.Has(Preview("WM_CREATE...")));
    EXPECT_EQ(0, SendMessageA(preview, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(log.Has(Preview("WM_DESTROY: tidying up")));
    DestroyWindow(parent);
}

TEST_F(SaverProcTest, FullSaverAndOutsidePreviewsEndTheLoopWithTwo)
{
    HWND hwnd = FullSaverAt({100, 100}, 0);
    EXPECT_EQ(0, SendMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(hwnd));
    int code = 0;
    EXPECT_TRUE(QuitPosted(&code));
    EXPECT_EQ(2, code);
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: maybe we need a password")));
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: password OK, so doing a DestroyWindow")));
    EXPECT_TRUE(log.Has(Full("POSTQUITMESSAGE from WM_DESTROY!!")));

    HWND parent = CreateParentWindow();
    HWND preview = CreateChildSaver(parent);
    DestroyWindow(preview);
    code = 0;
    EXPECT_TRUE(QuitPosted(&code));
    EXPECT_EQ(2, code);
    DestroyWindow(parent);
}

TEST_F(SaverProcTest, PreviewInsideTheMonitorLeavesTheLoopRunning)
{
    ScrEnsureInit();
    HWND outer = CreateParentWindow();
    HWND inner = CreateWindowExA(0, "LullexMonitorWindowClass", "Monitor window", WS_CHILD | WS_VISIBLE, 10, 10, 152,
                                 112, outer, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, inner);
    HWND preview = CreateChildSaver(inner, SAVERKIND_MONITORPREVIEW);
    EXPECT_EQ(SAVERKIND_MONITORPREVIEW, Client.createKind);
    SendMessageA(preview, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(QuitPosted(NULL));
    EXPECT_FALSE(log.Has(Preview("POSTQUITMESSAGE from WM_DESTROY!!")));

    // Dying with the dialog that holds the monitor posts nothing either.
    CreateChildSaver(inner, SAVERKIND_MONITORPREVIEW);
    DestroyWindow(outer);
    EXPECT_FALSE(QuitPosted(NULL));
}

TEST_F(SaverProcTest, SettingsChangeReachesTheFullSaverOnly)
{
    GeneralSettings settings = {sizeof(GeneralSettings), {1, 2, 0, 1}, 1, 400, 120, 1};
    HWND hwnd = FullSaverAt({100, 100}, 0);
    RuntimeState.passwordDelay = 5;
    RuntimeState.activeConfig = 0;
    EXPECT_EQ(1, SendMessageA(hwnd, SCRM_SETTINGSCHANGED, 2, (LPARAM)&settings));
    EXPECT_EQ(1, SendMessageA(hwnd, SCRM_SETTINGSCHANGED, 0x1000, (LPARAM)&settings));
    EXPECT_EQ(0, RuntimeState.mouseThreshold);
    EXPECT_EQ(1, SendMessageA(hwnd, SCRM_SETTINGSCHANGED, SCRNOTIFY_GENERALSETTINGS, 0));
    EXPECT_EQ(0, RuntimeState.mouseThreshold);

    HWND parent = CreateParentWindow();
    HWND preview = CreateChildSaver(parent);
    RuntimeState.mouseThreshold = 0;
    EXPECT_EQ(1, SendMessageA(preview, SCRM_SETTINGSCHANGED, SCRNOTIFY_GENERALSETTINGS, (LPARAM)&settings));
    EXPECT_EQ(0, RuntimeState.mouseThreshold);

    EXPECT_EQ(1, SendMessageA(hwnd, SCRM_SETTINGSCHANGED,
                              SCRNOTIFY_GENERALSETTINGS | SCRNOTIFY_AFTEROK | SCRNOTIFY_TOOWNER, (LPARAM)&settings));
    EXPECT_EQ(400, RuntimeState.mouseThreshold);
    EXPECT_EQ(120u, RuntimeState.passwordDelay);
    EXPECT_EQ(1, RuntimeState.activeConfig);
    DestroyWindow(hwnd);
    DestroyWindow(parent);
}

TEST_F(SaverProcTest, UnansweredTimerIsTurnedOff)
{
    HWND hwnd = FullSaverAt({100, 100}, 0);
    EXPECT_EQ(-1, SendMessageA(hwnd, SCRM_TIMER, 0, 0));
    std::string stars(78, '*');
    EXPECT_EQ(2, log.Count(Plain(stars)));
    EXPECT_TRUE(log.Has(Plain("** SCRM_TIMER: being turned off. If you want it to keep going, you must return its period.")));
    // No timer: a tick is not turned into SCRM_TIMER.
    EXPECT_EQ(0, SendMessageA(hwnd, SCRM_INTERNAL, SCRINTERNAL_TICK, 0));
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, DialogActiveMessageSetsTheFlag)
{
    HWND hwnd = FullSaverAt({100, 100}, 0);
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 1, 0);
    EXPECT_EQ(1, RuntimeState.dialogActive);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(ClosePosted(hwnd));
    SendMessageA(hwnd, SCRM_DIALOGACTIVE, 0, 0);
    EXPECT_EQ(0, RuntimeState.dialogActive);
    DestroyWindow(hwnd);
}

TEST_F(SaverProcTest, ClientProcAnswersZeroInsideItsRangeOnly)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefClientProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "RuntimeTestHostClass";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "RuntimeTestHostClass", "Host", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    for (UINT msg = 0x8064; msg <= 0x806D; msg++)
        EXPECT_EQ(0, SendMessageA(host, msg, 1, 1)) << std::hex << msg;
    // Everything else is DefWindowProcA's: the window knows its own text.
    EXPECT_EQ(4, SendMessageA(host, WM_GETTEXTLENGTH, 0, 0));
    DestroyWindow(host);
}

TEST_F(SaverProcTest, GeneralSettingsComeFromTheRegistryAndKeepTheSize)
{
    ScopedValue threshold(SaverKey, "Mouse Threshold", 400);
    ScopedValue delay(SaverKey, "Password Delay", 300);
    ScopedValue mute(SaverKey, "Mute Sound", 1);
    ScopedValue corners(SaverKey, "Mouse Corners", REG_SZ, "YN-Y", 5);
    GeneralSettings settings;
    memset(&settings, 0xCC, sizeof settings);
    settings.cbSize = 77;
    ScrGetGeneralSettings(&settings);
    EXPECT_EQ(77u, settings.cbSize);
    EXPECT_EQ(1, settings.corner[0]);
    EXPECT_EQ(2, settings.corner[1]);
    EXPECT_EQ(0, settings.corner[2]);
    EXPECT_EQ(1, settings.corner[3]);
    EXPECT_EQ(1, settings.muteSound);
    EXPECT_EQ(400, settings.mouseThreshold);
    EXPECT_EQ(300u, settings.passwordDelay);
    EXPECT_EQ(0, settings.activeConfig);
    ScrGetGeneralSettings(NULL);
}
