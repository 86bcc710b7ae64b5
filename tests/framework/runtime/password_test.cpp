#include <gtest/gtest.h>

#include "framework/runtime/password.h"
#include "framework/runtime/runtime_harness.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/startup/entry.h"

static DWORD fakeTick;
static DWORD WINAPI FakeTickCount() { return fakeTick; }

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartFresh();
        ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 1; prefs.noTimers = 1; });
        UsePasswordStandIn(false);
    }
    void TearDown() override
    {
        PasswordTickCount = GetTickCount;
        UsePasswordStandIn(false);
    }

    // The clock was started `ago` milliseconds before `now`.
    static void ClockStarted(DWORD now, DWORD ago, DWORD delaySeconds)
    {
        PasswordTickCount = FakeTickCount;
        fakeTick = now;
        RuntimeState.passwordClock = now - ago;
        RuntimeState.passwordDelay = delaySeconds;
    }

    HWND FullSaverWithPasswordDue()
    {
        HWND hwnd = CreateFullSaver();
        RuntimeState.passwordDelay = 0;
        DiscardPostedCloses(hwnd);
        return hwnd;
    }

    LogCapture log;
};

TEST_F(PasswordTest, DelayOfSixtySecondsEndsAtSixtyPointZero)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ClockStarted(5000000, 59900, 60);
    EXPECT_EQ(0, NeedPassword());
    EXPECT_TRUE(log.Has(Plain("Nope, we're within the delay...")));
    EXPECT_FALSE(log.Has(Plain("NeedPassword?: checking the registry")));
    ClockStarted(5000000, 60000, 60);
    EXPECT_EQ(1, NeedPassword());
    EXPECT_TRUE(log.Has(Plain("NeedPassword? Checking the timer")));
    EXPECT_TRUE(log.Has(Plain("NeedPassword?: checking the registry")));
    EXPECT_TRUE(log.Has(Plain("NeedPassword: yes, we do need the password")));
}

TEST_F(PasswordTest, TickCounterWrapStillMeasuresTheElapsedTime)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ClockStarted(58999, 60000, 60);   // started at 0xFFFFFFFF - 1000
    EXPECT_EQ(0xFFFFFFFFu - 1000u, RuntimeState.passwordClock);
    EXPECT_EQ(1, NeedPassword());
    ClockStarted(58000, 59001, 60);
    EXPECT_EQ(0, NeedPassword());
}

TEST_F(PasswordTest, ZeroDelayConsultsTheRegistryEveryTime)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ClockStarted(1000, 0, 0);
    EXPECT_EQ(1, NeedPassword());
    EXPECT_EQ(1, NeedPassword());
    EXPECT_EQ(2, log.Count(Plain("NeedPassword?: checking the registry")));
}

TEST_F(PasswordTest, RegistryValueDecidesAsAFourByteNumber)
{
    struct Case {
        const char *name;
        DWORD type;
        BYTE data[8];
        DWORD size;
        int needed;
    };
    static const Case cases[] = {
        {"zero", REG_DWORD, {0, 0, 0, 0}, 4, 0},
        {"one", REG_DWORD, {1, 0, 0, 0}, 4, 1},
        {"high byte", REG_DWORD, {0, 0, 0, 0x80}, 4, 1},
        {"text 1", REG_SZ, {'1', 0}, 2, 1},
        {"text 0", REG_SZ, {'0', 0}, 2, 1},
        {"one byte", REG_BINARY, {0}, 1, 0},
        {"eight bytes", REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, 8, 0},
        {"five bytes", REG_BINARY, {1, 1, 1, 1, 1}, 5, 0},
    };
    for (const Case &c : cases) {
        ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", c.type, c.data, c.size);
        ClockStarted(1000, 0, 0);
        EXPECT_EQ(c.needed, NeedPassword()) << c.name;
    }
    EXPECT_TRUE(log.Has(Plain("NeedPassword: no, we don't need the password")));
    EXPECT_TRUE(log.Has(Plain("NeedPassword: failed to get 'usepw' value from registry. Aborting")));
}

TEST_F(PasswordTest, MissingValueNeedsNoPassword)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, DesktopKey, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "ScreenSaveUsePassword");
        RegCloseKey(key);
    }
    ClockStarted(1000, 0, 0);
    EXPECT_EQ(0, NeedPassword());
    EXPECT_TRUE(log.Has(Plain("NeedPassword: failed to get 'usepw' value from registry. Aborting")));
}

TEST_F(PasswordTest, DeclaredPolicyOverridesDelayAndRegistry)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    ChangePrefs([](ScrPrefs &prefs) { prefs.neverRequirePassword = 1; });
    ClockStarted(1000000, 500000, 0);
    EXPECT_EQ(0, NeedPassword());
    EXPECT_TRUE(log.Has(Plain("NeedPassword: this screensaver never requires a password")));

    ScopedValue noPassword(DesktopKey, "ScreenSaveUsePassword", (DWORD)0);
    ChangePrefs([](ScrPrefs &prefs) { prefs.neverRequirePassword = 0; prefs.alwaysRequirePassword = 1; });
    ClockStarted(1000000, 0, 3600);
    EXPECT_EQ(1, NeedPassword());
    EXPECT_TRUE(log.Has(Plain("NeedPassword: this screensaver always uses a password")));
}

TEST_F(PasswordTest, VerifierAnswersAndOwnsTheDialog)
{
    HWND hwnd = CreateFullSaver();
    UsePasswordStandIn(true, "1");
    EXPECT_EQ(IDOK, DoVerifyPwDialog(hwnd));
    EXPECT_EQ(1, PasswordCalls());
    EXPECT_EQ(hwnd, PasswordOwner());
    EXPECT_TRUE(log.Has(Plain("DoVerifyPwDialog: using Master Password Router")));
    EXPECT_TRUE(log.Has(Plain("DoVerifyPwDialog: about to do VerifyScreenSavePwd...")));
    EXPECT_TRUE(log.Has(Plain("DoVerifyPwDialog: verifypwd returned TRUE!. Returing IDOK")));
    UsePasswordStandIn(true, "0");
    EXPECT_EQ(IDCANCEL, DoVerifyPwDialog(hwnd));
    EXPECT_TRUE(log.Has(Plain("DoVerifyPwDialog: verifypwd returned FALSE. Returning IDCANCEL")));
    // Loaded for the call only.
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    DestroyWindow(hwnd);
}

TEST_F(PasswordTest, CursorIsShownOnlyDuringVerification)
{
    HWND hwnd = CreateFullSaver();
    UsePasswordStandIn(true, "1");
    ShowCursor(FALSE);
    int before = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    DoVerifyPwDialog(hwnd);
    EXPECT_EQ(before + 1, PasswordCursorCount());
    int after = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    EXPECT_EQ(before, after);
    DestroyWindow(hwnd);
}

TEST_F(PasswordTest, MissingVerifierCountsAsAccepted)
{
    HWND hwnd = CreateFullSaver();
    UsePasswordStandIn(false);
    EXPECT_EQ(IDOK, DoVerifyPwDialog(hwnd));
    EXPECT_EQ(0, PasswordCalls());
    EXPECT_TRUE(log.Has(Plain("DoVerifyPwDialog: unable to load pwdprovider library. Aborting")));
    DestroyWindow(hwnd);
}

TEST_F(PasswordTest, CloseWithPasswordAcceptedDestroysAndQuitsWithTwo)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    UsePasswordStandIn(true, "1");
    HWND hwnd = FullSaverWithPasswordDue();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpUntil([&] { return !IsWindow(hwnd); }, 2000);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, PasswordCalls());
    EXPECT_EQ(hwnd, PasswordOwner());
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), Client.dialogActiveSent);
    EXPECT_EQ(1, Client.dialogActiveDuringVerify);
    int code = 0;
    EXPECT_TRUE(QuitPosted(&code));
    EXPECT_EQ(2, code);
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: starting verify-password message")));
    EXPECT_TRUE(log.Has(Full("SCRM_VERIFYPW: going to DoVerifyPwDialog")));
    EXPECT_TRUE(log.Has(Plain("SCRM_VERIFYPW: DoVerifyPw returned IDOK: returning TRUE!")));
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: ending verify-password message")));
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: password OK, so doing a DestroyWindow")));
}

TEST_F(PasswordTest, CloseWithPasswordRefusedKeepsTheSaverAndAsksAgain)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    UsePasswordStandIn(true, "0");
    HWND hwnd = FullSaverWithPasswordDue();
    DWORD clock = RuntimeState.passwordClock;
    SetCursorPos(250, 150);
    EXPECT_EQ(0, SendMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(0, RuntimeState.dialogActive);
    EXPECT_EQ(clock, RuntimeState.passwordClock);
    EXPECT_EQ(250, RuntimeState.cursorRef.x);
    EXPECT_EQ(150, RuntimeState.cursorRef.y);
    EXPECT_TRUE(log.Has(Plain("SCRM_VERIFYPW: DoVerifyPw returned IDCANCEL: returning FALSE")));
    EXPECT_TRUE(log.Has(Full("WM_CLOSE: not OK, so doing nothing")));
    EXPECT_FALSE(QuitPosted(NULL));

    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(2, PasswordCalls());
    UsePasswordStandIn(true, "1");
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(PasswordTest, NothingClosesTheSaverWhileThePasswordIsAsked)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    HWND hwnd = FullSaverWithPasswordDue();
    bool aliveDuring = false, closePostedDuring = true;
    Client.verifyAnswer = 0;
    Client.duringVerify = [&](HWND window) {
        SendMessageA(window, WM_KEYDOWN, 'A', 0);
        SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
        SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageA(window, WM_CLOSE, 0, 0);
        aliveDuring = IsWindow(window) != FALSE;
        closePostedDuring = ClosePosted(window);
    };
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Client.verifyCalls);
    EXPECT_TRUE(aliveDuring);
    EXPECT_FALSE(closePostedDuring);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(PasswordTest, MissingVerifierLetsTheSaverClose)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    UsePasswordStandIn(false);
    HWND hwnd = FullSaverWithPasswordDue();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(PasswordTest, WithinTheDelayTheSaverClosesWithoutAsking)
{
    ScopedValue usePassword(DesktopKey, "ScreenSaveUsePassword", 1);
    UsePasswordStandIn(true, "0");
    HWND hwnd = CreateFullSaver();   // the stored delay, 60 s by default
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(0, PasswordCalls());
}

TEST_F(PasswordTest, NeverRequiringSaverRefusesAChangeWithABox)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.neverRequirePassword = 1; });
    HWND owner = CreateParentWindow();
    MessageBoxCatcher boxes;
    EXPECT_EQ(IDOK, DoChangePwDialog(owner));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("This screensaver never requires a password", boxes.boxes[0].text);
    EXPECT_EQ("Password", boxes.boxes[0].caption);
    EXPECT_EQ(owner, boxes.boxes[0].owner);
    EXPECT_TRUE(boxes.boxes[0].okOnly);
    EXPECT_EQ(nullptr, GetModuleHandleA("MPR.DLL"));
    DestroyWindow(owner);
}

TEST_F(PasswordTest, ChangeGoesToTheSystemComponent)
{
    HWND owner = CreateParentWindow();
    EXPECT_EQ(1, DoChangePwDialog(owner));
    EXPECT_EQ(nullptr, GetModuleHandleA("MPR.DLL"));
    DestroyWindow(owner);
}

static int hookCalls;
static HWND hookOwner;
static int hookAnswer;
static int CALLBACK ScriptedChangeHook(HWND owner)
{
    hookCalls++;
    hookOwner = owner;
    return hookAnswer;
}

TEST_F(PasswordTest, HookedChangeFallsBackOnlyForTheDefaultAnswer)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.neverRequirePassword = 1; });
    HWND owner = CreateParentWindow();
    MessageBoxCatcher boxes;
    ChangePasswordHook = ScriptedChangeHook;
    hookAnswer = 5;
    EXPECT_EQ(5, HookedChangePassword(owner));
    EXPECT_EQ(owner, hookOwner);
    EXPECT_TRUE(boxes.boxes.empty());
    hookAnswer = HOOK_DEFAULT;
    EXPECT_EQ(IDOK, HookedChangePassword(owner));
    EXPECT_EQ(1u, boxes.boxes.size());
    ChangePasswordHook = NULL;
    EXPECT_EQ(IDOK, HookedChangePassword(owner));
    EXPECT_EQ(2u, boxes.boxes.size());
    EXPECT_EQ(2, hookCalls);
    DestroyWindow(owner);
}

static LRESULT hostAnswer;
static WPARAM hostSawOwner;
static LRESULT CALLBACK ScriptedHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_CHANGEPASSWORD) {
        hostSawOwner = wParam;
        return hostAnswer;
    }
    return DefClientProc(hwnd, msg, wParam, lParam);
}

TEST_F(PasswordTest, HostedChangeAsksTheHostFirst)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.neverRequirePassword = 1; });
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ScriptedHostProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "RuntimeTestScriptedHost";
    RegisterClassA(&wc);
    HostWindow = CreateWindowExA(0, "RuntimeTestScriptedHost", "Host", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    HWND owner = CreateParentWindow();
    MessageBoxCatcher boxes;
    hostAnswer = 7;
    EXPECT_EQ(1, HostedChangePassword(owner));
    EXPECT_EQ((WPARAM)owner, hostSawOwner);
    EXPECT_TRUE(boxes.boxes.empty());
    hostAnswer = 0;
    EXPECT_EQ(IDOK, HostedChangePassword(owner));
    EXPECT_EQ(1u, boxes.boxes.size());
    DestroyWindow(owner);
    DestroyWindow(HostWindow);
    HostWindow = NULL;
}
