// The entry points with a real command line: the modes run their message
// loops, end through the quit message and wait for the listed threads.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "app/import_spy.h"
#include "support/emulation.h"
#include "support/log_capture.h"
#include "framework/config/config_host.h"
#include "framework/lullex.h"
#include "framework/runtime/timer.h"
#include "framework/runtime/timer_list.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/runners.h"
#include "startup_support.h"
#include "support/framework_seams.h"
#include "support/fresh_framework.h"

namespace {

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

// Runs once, from inside the mode's message loop.
void (*probeAction)() = nullptr;

void CALLBACK RunProbe(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (probeAction)
        probeAction();
}

void ProbeSoon(void (*action)())
{
    probeAction = action;
    SetTimer(nullptr, 0, 1, RunProbe);
}

void CloseFirstSaverWindow()
{
    ASSERT_FALSE(seenCreations.empty());
    PostMessageA(seenCreations[0].hwnd, WM_CLOSE, 0, 0);
}

int spiDuring = -1;

int ScreenSaverRunning()
{
    BOOL running = -1;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        return -2;
    return running;
}

class EntryPoints : public ::testing::Test {
protected:
    void SetUp() override { seenCreations.clear(); }
};

}  // namespace

TEST_F(EntryPoints, RefusedCommandLinesReturnTwo)
{
    for (const char *line : {"saver.scr /x", "saver.scr /", "\"saver.scr /s", "saver.scr /p 99999"}) {
        StartWithAFreshFramework();   // each refusal ends a mode, which closes the framework
        ASSERT_TRUE(SetProcessCommandLine(line));
        EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2) << line;
    }
    EXPECT_TRUE(seenCreations.empty());
}

// The first mode's end closes the framework for the rest of the process.
TEST_F(EntryPoints, SecondRunInOneProcessIsRefusedSayingWhy)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon(CloseFirstSaverWindow);
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    ASSERT_EQ(seenCreations.size(), 1u);

    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 1;
    ScrSetPrefs(prefs);
    LogCapture log;
    ProbeSoon([] { PostMessageA(seenCreations.back().hwnd, WM_CLOSE, 0, 0); });   // should it run after all
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(log.Count("ScrRun: the framework was closed when the first mode ended; it runs one mode per "
                        "process___________  \n\r"),
              1);
    probeAction = nullptr;
}

TEST_F(EntryPoints, FullScreenModeTellsTheSystemASaverRunsAndEndsWithTheQuitCode)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    int before = ScreenSaverRunning();
    if (before == -2)
        GTEST_SKIP() << "SPI_GETSCREENSAVERRUNNING is not supported here";
    EXPECT_EQ(before, 0);
    ProbeSoon([] {
        spiDuring = ScreenSaverRunning();
        CloseFirstSaverWindow();
    });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_EQ(spiDuring, 1);
    EXPECT_EQ(ScreenSaverRunning(), 0);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].className, "OvScreenSaverClass");
    EXPECT_EQ(seenCreations[0].kind, 0);
    EXPECT_FALSE(FrameworkRunning);
}

TEST_F(EntryPoints, ModeEndsWithTheExitCodeOfTheQuitMessage)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] { PostQuitMessage(7); });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 7);
}

namespace {
int nestedResults[3] = {-1, -1, -1};
bool runningSeen = false;
}

TEST_F(EntryPoints, NestedEntryFromACallbackWhileAModeRunsReturnsTwo)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] {
        runningSeen = FrameworkRunning;
        nestedResults[0] = ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0);
        nestedResults[1] = ScrRunWithHooks(Self(), nullptr, nullptr, nullptr, nullptr);
        nestedResults[2] = ScrRunHosted(Self(), nullptr);
        CloseFirstSaverWindow();
    });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_TRUE(runningSeen);
    EXPECT_EQ(nestedResults[0], 2);
    EXPECT_EQ(nestedResults[1], 2);
    EXPECT_EQ(nestedResults[2], 2);
    EXPECT_EQ(seenCreations.size(), 1u);   // the nested calls created nothing
}

namespace {
bool refusedInitRan = false;
int refusedResults[4] = {-1, -1, -1, -1};

void CALLBACK RefusedInit(HINSTANCE)
{
    refusedInitRan = true;
}

DWORD WINAPI RunFromAnotherThread(void *)
{
    refusedResults[3] = ScrRun(Self(), RecordingSaverProc, nullptr, RefusedInit, 0);
    return 0;
}

void CALLBACK EnterAgainFromInit(HINSTANCE)
{
    refusedResults[0] = ScrRun(Self(), RecordingSaverProc, nullptr, RefusedInit, 0);
    refusedResults[1] = ScrRunWithHooks(Self(), nullptr, nullptr, nullptr, nullptr);
    refusedResults[2] = ScrRunHosted(Self(), nullptr);
    HANDLE other = CreateThread(nullptr, 0, RunFromAnotherThread, nullptr, 0, nullptr);
    WaitForSingleObject(other, 10000);
    CloseHandle(other);
}
}  // namespace

TEST_F(EntryPoints, EntryFromTheInitRoutineOrAnotherThreadIsRefused)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon(CloseFirstSaverWindow);
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, EnterAgainFromInit, 0), 2);
    EXPECT_FALSE(refusedInitRan);
    for (int result : refusedResults)
        EXPECT_EQ(result, 2);
    EXPECT_EQ(seenCreations.size(), 1u);
}

namespace {
HWND previewParent;
}

TEST_F(EntryPoints, PreviewModeRunsInTheNamedWindowUntilThePreviewGoes)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Self();
    wc.lpszClassName = "PreviewHost";
    RegisterClassA(&wc);
    previewParent = CreateWindowExA(0, "PreviewHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112, nullptr,
                                    nullptr, Self(), nullptr);
    char line[64];
    snprintf(line, sizeof(line), "saver.scr /p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(previewParent)));
    ASSERT_TRUE(SetProcessCommandLine(line));
    ProbeSoon([] { DestroyWindow(previewParent); });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].kind, 2);
    EXPECT_EQ(seenCreations[0].parent, previewParent);
    EXPECT_EQ(seenCreations[0].cx, 152);
    EXPECT_EQ(seenCreations[0].cy, 112);
}

// ---- The wait for timer threads ----

namespace {

HANDLE listedThread;
HANDLE releaseThread;

DWORD WINAPI SleepThenEnd(void *ms)
{
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(ms)));
    return 0;
}

DWORD WINAPI WaitForRelease(void *)
{
    WaitForSingleObject(releaseThread, INFINITE);
    return 0;
}

HANDLE lastListedCopy;

// The list owns its handles, as the timers' own nodes do, so it gets a copy.
void ListThread(HANDLE thread)
{
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &lastListedCopy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    ListTimerThread(NewThreadListNode(), lastListedCopy, nullptr);
}

}  // namespace

TEST_F(EntryPoints, ReturnsOnlyAfterTheListedThreadsHaveEnded)
{
    SKIP_WHERE_THREADS_ARE_EMULATED();
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] {
        listedThread = CreateThread(nullptr, 0, SleepThenEnd, reinterpret_cast<void *>(700), 0, nullptr);
        ListThread(listedThread);
        CloseFirstSaverWindow();
    });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_EQ(WaitForSingleObject(listedThread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(ListedTimerThreadCount(), 0);
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(lastListedCopy, &flags)) << "the listed handle is closed";
    CloseHandle(listedThread);
}

// A client may start a timer for a window of its own before it calls the entry.
TEST_F(EntryPoints, TimersStartedBeforeTheEntryAreWaitedForAndReleased)
{
    RegisterTestSaverClass("OvScreenSaverClass", RecordingSaverProc);
    HWND early = CreateWindowExA(0, "OvScreenSaverClass", "early", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 Self(), nullptr);
    ScrStartTimer(early);
    HANDLE listed = NewestTimerThread();
    ASSERT_NE(listed, nullptr);
    DuplicateHandle(GetCurrentProcess(), listed, GetCurrentProcess(), &listedThread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    DestroyWindow(early);   // stops the timer and posts the quit of a full saver
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    seenCreations.clear();
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon(CloseFirstSaverWindow);
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_EQ(WaitForSingleObject(listedThread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(ListedTimerThreadCount(), 0);
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(listed, &flags)) << "the early timer's handle is closed";
    CloseHandle(listedThread);
}

namespace {

// The end's wait for the timer threads, as the framework asks for it; the thread
// that stays alive has already outlived a short one.
DWORD longestTimerWait;
using MsgWait = DWORD(WINAPI *)(DWORD, const HANDLE *, BOOL, DWORD, DWORD);
MsgWait realMsgWait;

DWORD WINAPI ShortenedWait(DWORD count, const HANDLE *handles, BOOL all, DWORD ms, DWORD wake)
{
    longestTimerWait = ms > longestTimerWait ? ms : longestTimerWait;
    return realMsgWait(count, handles, all, ms < 1000 ? ms : 200, wake);
}

}  // namespace

TEST_F(EntryPoints, ThreadsAliveAfterTenSecondsAreReportedAndTheListIsFreedAllTheSame)
{
    SKIP_WHERE_THREADS_ARE_EMULATED();
    longestTimerWait = 0;
    realMsgWait = (MsgWait)ReplaceImport("user32.dll", "MsgWaitForMultipleObjects", (void *)ShortenedWait);
    ASSERT_NE(realMsgWait, nullptr);
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 1;
    ScrSetPrefs(prefs);
    releaseThread = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] {
        listedThread = CreateThread(nullptr, 0, WaitForRelease, nullptr, 0, nullptr);
        ListThread(listedThread);
        CloseFirstSaverWindow();
    });
    MessageBoxCatcher boxes;
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    ReplaceImport("user32.dll", "MsgWaitForMultipleObjects", (void *)realMsgWait);
    EXPECT_GE(longestTimerWait, 9900u);
    EXPECT_LE(longestTimerWait, 10000u);
    EXPECT_EQ(ListedTimerThreadCount(), 0);
    EXPECT_EQ(WaitForSingleObject(listedThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Not all threads have terminated");
    EXPECT_EQ(boxes.boxes[0].caption, "ThreadTimer error");
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
    SetEvent(releaseThread);
    WaitForSingleObject(listedThread, 5000);
}

namespace {

// A saver window that asks for a tick every millisecond.
LRESULT CALLBACK EagerSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_TIMER)
        return 1;
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

HWND eagerSaver;

}  // namespace

// The mode ends while a window of this thread still ticks: its timer thread is
// about to send, or inside SendMessage to this thread, when the end waits for it.
TEST_F(EntryPoints, TimerOfAWindowThatOutlivesTheModeCostsNoWait)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 1;
    ScrSetPrefs(prefs);
    RegisterTestSaverClass("EagerSaver", EagerSaverProc);
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] {
        eagerSaver = CreateWindowExA(0, "EagerSaver", "eager", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Self(),
                                     nullptr);
        ScrStartTimer(eagerSaver);
        PostQuitMessage(7);
    });
    MessageBoxCatcher boxes;
    DWORD start = GetTickCount();
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 7);
    DWORD waited = GetTickCount() - start;
    EXPECT_LT(waited, 5000u);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ListedTimerThreadCount(), 0);
    EXPECT_EQ(GetTimerProp(eagerSaver), nullptr);
    DestroyWindow(eagerSaver);
}

TEST_F(EntryPoints, MoreThanSixtyFourListedThreadsAreAllWaitedFor)
{
    SKIP_WHERE_THREADS_ARE_EMULATED();
    static HANDLE threads[80];
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /s"));
    ProbeSoon([] {
        for (int i = 0; i < 80; ++i) {
            threads[i] = CreateThread(nullptr, 0, SleepThenEnd, reinterpret_cast<void *>(200 + 5 * i), 0, nullptr);
            ListThread(threads[i]);
        }
        CloseFirstSaverWindow();
    });
    EXPECT_EQ(ScrRun(Self(), RecordingSaverProc, nullptr, nullptr, 0), 2);
    for (HANDLE thread : threads) {
        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
}

// ---- Change of password and the dialogs of the hooked and hosted variants ----

namespace {

int CALLBACK PasswordHookFive(HWND)
{
    return 5;
}

LONG sheetActiveFlag = -1;
int sheetAnswer = HOOK_DEFAULT;
int aboutAnswer = HOOK_DEFAULT;

int CALLBACK RecordingSheetHook(HWND, PROPSHEETHEADERA *, LONG activeConfig)
{
    sheetActiveFlag = activeConfig;
    return sheetAnswer;
}

int CALLBACK RecordingAboutHook(HWND)
{
    return aboutAnswer;
}

LRESULT hostAnswer = 0;
UINT hostSeen = 0;

LRESULT CALLBACK DialogHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= SCRM_PROPERTYSHEET && msg <= SCRM_CHANGEPASSWORD) {
        hostSeen = msg;
        return hostAnswer;
    }
    return DefClientProc(hwnd, msg, wParam, lParam);
}

HWND MakeDialogHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DialogHostProc;
    wc.hInstance = Self();
    wc.lpszClassName = "DialogHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "DialogHost", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Self(), nullptr);
}

}  // namespace

TEST_F(EntryPoints, ChangePasswordModeReturnsWhatTheHookAnswers)
{
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /a"));
    EXPECT_EQ(ScrRunWithHooks(Self(), nullptr, nullptr, nullptr, PasswordHookFive), 5);
}

TEST_F(EntryPoints, HostThatChangesThePasswordItselfYieldsOne)
{
    hostAnswer = 1;
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /a"));
    EXPECT_EQ(ScrRunHosted(Self(), MakeDialogHost()), 1);
    EXPECT_EQ(hostSeen, static_cast<UINT>(SCRM_CHANGEPASSWORD));
}

TEST_F(EntryPoints, PropertySheetHookLearnsWhetherTheSheetIsForActiveConfiguration)
{
    HWND hostDialog = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, Self(), nullptr);
    ConfigHostParams params = {1, 0};
    SetWindowLongPtrA(hostDialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&params));
    PropertySheetHook = RecordingSheetHook;
    sheetAnswer = 7;
    PROPSHEETHEADERA header = {};
    EXPECT_EQ(HookedExecuteUserDialog(hostDialog, &header), 7);
    EXPECT_EQ(sheetActiveFlag, 1);
    params.mode = 0;
    EXPECT_EQ(HookedExecuteUserDialog(hostDialog, &header), 7);
    EXPECT_EQ(sheetActiveFlag, 0);
    PropertySheetHook = nullptr;
    DestroyWindow(hostDialog);
}

TEST_F(EntryPoints, AboutFallsBackToTheFrameworkAboutBox)
{
    ScrEnsureInit();
    AboutHook = RecordingAboutHook;
    aboutAnswer = 4;
    EXPECT_EQ(HookedShowAbout(nullptr), 4);
    {
        MessageBoxCatcher boxes;
        aboutAnswer = HOOK_DEFAULT;
        HookedShowAbout(nullptr);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "About Lullex");
    }
    HostWindow = MakeDialogHost();
    hostAnswer = 1;
    {
        MessageBoxCatcher boxes;
        EXPECT_EQ(HostedShowAbout(nullptr), 1);
        EXPECT_EQ(hostSeen, static_cast<UINT>(SCRM_ABOUT));
        EXPECT_TRUE(boxes.boxes.empty());
    }
    hostAnswer = 0;
    {
        MessageBoxCatcher boxes;
        HostedShowAbout(nullptr);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "About Lullex");
    }
    AboutHook = nullptr;
    HostWindow = nullptr;
}

TEST_F(EntryPoints, HostThatShowsThePropertySheetItselfYieldsOne)
{
    HostWindow = MakeDialogHost();
    hostAnswer = 3;
    PROPSHEETHEADERA header = {};
    EXPECT_EQ(HostedExecuteUserDialog(nullptr, &header), 1);
    EXPECT_EQ(hostSeen, static_cast<UINT>(SCRM_PROPERTYSHEET));
    HostWindow = nullptr;
}
