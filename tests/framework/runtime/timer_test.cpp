#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "support/emulation.h"
#include "support/wait_limit.h"
#include "app/import_spy.h"
#include "framework/startup/child_process.h"
#include "framework/runtime/runtime_harness.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/runtime/timer.h"
#include "framework/runtime/timer_list.h"
#include "support/framework_seams.h"

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartFresh();
        ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 1; });
    }
    void TearDown() override { EXPECT_TRUE(DrainTimerThreads(10000)); }

    HANDLE NewestThread() { return NewestTimerThread(); }

    bool ThreadEnds(HANDLE thread, DWORD ms)
    {
        return PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, ms);
    }

    static double MeanGap(const std::vector<DWORD> &times)
    {
        return double(times.back() - times.front()) / double(times.size() - 1);
    }

    LogCapture log;
};

TEST_F(TimerTest, UnansweredClientGetsExactlyOneTick)
{
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return TimerThreadCount() == 1; }, 2000));
    HANDLE thread = NewestThread();
    EXPECT_TRUE(ThreadEnds(thread, 5000));
    PumpFor(200);
    EXPECT_EQ(1, log.Count(Plain("Thread: infinite delay specified, so posting a 'had enough'")));
    EXPECT_EQ(1, log.Count(Plain("SCRINTERNAL_HADENOUGH: closing down thread...")));
    EXPECT_TRUE(log.Has(Plain("Thread coming to an end. Deleting threaddata")));
    EXPECT_EQ(nullptr, GetTimerProp(hwnd));
    ScrStopTimer(hwnd);
    EXPECT_TRUE(log.Has(Plain("ScrStopTimer: the timer had already been destroyed. This isn't necessarily bad.")));
    EXPECT_EQ(1, TimerThreadCount());
    DestroyWindow(hwnd);
}

TEST_F(TimerTest, AnsweredClientKeepsTicking)
{
    Client.answerTimer = true;
    Client.timerPeriod = 10;
    HWND hwnd = CreateFullSaver();
    EXPECT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 10; }, 5000));
    EXPECT_TRUE(log.Has(Plain("ScrStartTimer: creating a timer...")));
    EXPECT_TRUE(log.Has(Plain("ScrStartTimer: am able to work with timers!")));
    HANDLE thread = NewestThread();
    DestroyWindow(hwnd);
    EXPECT_TRUE(log.Has(Plain("ScrStopTimer: destroying timer...")));
    EXPECT_TRUE(ThreadEnds(thread, 2000));
}

TEST_F(TimerTest, TimerThreadRunsOneStepBelowItsStarter)
{
    Client.answerTimer = true;
    Client.timerPeriod = 50;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([&] { return GetTimerProp(hwnd) != NULL; }, 2000));
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(NewestThread()));
    DestroyWindow(hwnd);

    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([&] { return GetTimerProp(hwnd) != NULL; }, 2000));
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(NewestThread()));
    DestroyWindow(hwnd);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

// The period runs from the start of one tick to the start of the next: a 10 ms
// handler leaves a 30 ms wait, a 50 ms handler none at all.
TEST_F(TimerTest, PeriodAbsorbsTheHandlersOwnTime)
{
    Client.answerTimer = true;
    Client.timerPeriod = 40;
    Client.handlerMs = 10;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 16; }, 10000));
    double shortHandlerGap = MeanGap(Client.tickTimes);
    DestroyWindow(hwnd);

    Client = ClientScript();
    Client.answerTimer = true;
    Client.timerPeriod = 40;
    Client.handlerMs = 50;
    hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 16; }, 10000));
    double longHandlerGap = MeanGap(Client.tickTimes);
    DestroyWindow(hwnd);

    // Without the wait the first gap would be about 10 ms; waiting a whole
    // period after the slow handler would make the second about 90 ms.
    EXPECT_GT(shortHandlerGap, 30.0);
    EXPECT_LT(shortHandlerGap, 60.0);
    EXPECT_GE(longHandlerGap, 48.0);
    EXPECT_LT(longHandlerGap, 75.0);
}

TEST_F(TimerTest, ZeroPeriodTicksBackToBack)
{
    Client.answerTimer = true;
    Client.timerPeriod = 0;
    HWND hwnd = CreateFullSaver();
    EXPECT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 200; }, 5000));
    DestroyWindow(hwnd);
}

// The reply is as wide as a pointer: beyond 32 bits it is the longest wait, not
// its low half (0x100000000 would tick without a pause, 0x1FFFFFFFF would stop).
TEST_F(TimerTest, RepliesBeyondThirtyTwoBitsWaitTheLongestPeriod)
{
    if (sizeof(LRESULT) < 8)
        GTEST_SKIP() << "a 32-bit window's reply has no bits beyond 32";
    Client.answerTimer = true;
    for (unsigned long long reply : {0x100000000ull, 0x1FFFFFFFFull}) {
        Client.timerPeriod = (LRESULT)reply;
        Client.tickTimes.clear();
        HWND hwnd = CreateFullSaver();
        ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() == 1; }, 2000));
        HANDLE thread = NewestThread();
        PumpFor(300);
        EXPECT_EQ(1u, Client.tickTimes.size()) << std::hex << reply;
        EXPECT_FALSE(log.Has(Plain("Thread: infinite delay specified, so posting a 'had enough'"))) << std::hex << reply;
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0)) << std::hex << reply;
        DestroyWindow(hwnd);
        EXPECT_TRUE(ThreadEnds(thread, 2000)) << std::hex << reply;
    }
}

TEST_F(TimerTest, SettingsChangeCutsALongWaitShort)
{
    Client.answerTimer = true;
    Client.timerPeriod = 60000;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() == 1; }, 2000));
    PumpFor(100);
    ASSERT_EQ(1u, Client.tickTimes.size());
    GeneralSettings settings = {sizeof(GeneralSettings), {0, 0, 0, 0}, 0, 200, 60, 0};
    SendMessageA(hwnd, SCRM_SETTINGSCHANGED, SCRNOTIFY_GENERALSETTINGS, (LPARAM)&settings);
    EXPECT_TRUE(PumpUntil([] { return Client.tickTimes.size() == 2; }, 5000));
    // The event was reset: the wait after the second tick is a whole period again.
    PumpFor(300);
    EXPECT_EQ(2u, Client.tickTimes.size());
    // Stopping does not leave the thread waiting out the rest of its minute.
    HANDLE thread = NewestThread();
    DestroyWindow(hwnd);
    EXPECT_TRUE(ThreadEnds(thread, 2000));
}

TEST_F(TimerTest, StartingTwiceMakesOneThread)
{
    Client.answerTimer = true;
    Client.timerPeriod = 20;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return TimerThreadCount() == 1; }, 2000));
    ScrStartTimer(hwnd);
    EXPECT_EQ(1, TimerThreadCount());
    EXPECT_TRUE(log.Has(Plain("ScrStartTimer: cannot restart, because one was already there!")));
    DestroyWindow(hwnd);
}

TEST_F(TimerTest, StopBeforeTheFirstLoopStillEndsTheThread)
{
    Client.answerTimer = true;
    Client.timerPeriod = 10;
    HWND hwnd = CreateFullSaver();
    DiscardPostedCloses(hwnd);
    MSG msg;
    while (PeekMessageA(&msg, hwnd, SCRM_INTERNAL, SCRM_INTERNAL, PM_REMOVE)) {
    }
    ScrStartTimer(hwnd);
    HANDLE thread = NewestThread();
    ScrStopTimer(hwnd);
    EXPECT_TRUE(ThreadEnds(thread, 2000));
    EXPECT_TRUE(Client.tickTimes.empty());
    DestroyWindow(hwnd);
}

TEST_F(TimerTest, StoppedTimerCanBeStartedAgain)
{
    Client.answerTimer = true;
    Client.timerPeriod = 10;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 2; }, 2000));
    HANDLE first = NewestThread();
    ScrStopTimer(hwnd);
    EXPECT_TRUE(ThreadEnds(first, 2000));
    size_t ticks = Client.tickTimes.size();
    PostMessageA(hwnd, SCRM_INTERNAL, SCRINTERNAL_STARTTIMER, 0);
    EXPECT_TRUE(PumpUntil([&] { return Client.tickTimes.size() >= ticks + 2; }, 2000));
    EXPECT_EQ(1, TimerThreadCount());   // the start let go of the ended thread's node
    DestroyWindow(hwnd);
}

// The first timer answers -1 only after the window has replaced it with a second
// one: its had-enough request arrives when the second timer is the window's, and
// must leave that one ticking.
TEST_F(TimerTest, HadEnoughOfAReplacedTimerLeavesTheNewTimerTicking)
{
    Client.answerTimer = true;
    Client.onTick = [](HWND hwnd) {
        Client.timerPeriod = 10;
        if (Client.tickTimes.size() != 1)
            return;
        ScrStopTimer(hwnd);
        ScrStartTimer(hwnd);
        Client.timerPeriod = -1;
    };
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([&] { return log.Has(Plain("SCRINTERNAL_HADENOUGH: closing down thread...")); }, 2000));
    EXPECT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 6; }, 2000));
    EXPECT_NE(nullptr, GetTimerProp(hwnd));
    EXPECT_TRUE(log.Has(Plain("SCRINTERNAL_HADENOUGH: the request came from an earlier timer, so the current one keeps going")));
    DestroyWindow(hwnd);
}

namespace {

// A client saver process whose preview ticks inside a window of this process.
struct ForeignPreview {
    ChildProcess child;
    std::string logPath;
    HWND parent = NULL;
    HWND preview = NULL;

    bool Start()
    {
        char dir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, dir);
        logPath = std::string(dir) + "\\timer_child_" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(logPath.c_str());
        SetEnvironmentVariableA("CLIENT_SAVER_LOG", logPath.c_str());
        SetEnvironmentVariableA("CLIENT_SAVER_TIMER", "20");
        SetEnvironmentVariableA("CLIENT_SAVER_TICKS", "1000000");
        SetEnvironmentVariableA("CLIENT_SAVER_PROBE", "600000");
        parent = CreateParentWindow();
        std::string line = "client_saver.exe /p " + std::to_string((UINT_PTR)parent);
        if (!StartChild(line, &child))
            return false;
        preview = WaitForWindowOf(child.pid, "OvScreenSaverClass", NULL, 10000, parent);
        return preview != NULL;
    }

    int Ticks()
    {
        int ticks = 0;
        for (const std::string &line : ReadLines(logPath))
            ticks += line.compare(0, 5, "tick ") == 0;
        return ticks;
    }

    ~ForeignPreview()
    {
        EndChild(&child);
        if (IsWindow(parent))
            DestroyWindow(parent);
        for (const char *name : {"CLIENT_SAVER_LOG", "CLIENT_SAVER_TIMER", "CLIENT_SAVER_TICKS", "CLIENT_SAVER_PROBE"})
            SetEnvironmentVariableA(name, NULL);
        DeleteFileA(logPath.c_str());
    }
};

// What this process holds at an address, or 0 where nothing is mapped.
ULONG_PTR HeldAt(const void *address)
{
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(address, &info, sizeof info) == 0 || info.State != MEM_COMMIT ||
        (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0)
        return 0;
    return *(const ULONG_PTR *)address;
}

}  // namespace

// The property of another process's window holds an address in that process.
// Here the window is a preview another process made inside a window of ours.
TEST_F(TimerTest, TimerCallsOnAnotherProcesssWindowAreRefused)
{
    ForeignPreview foreign;
    ASSERT_TRUE(foreign.Start());
    ASSERT_TRUE(PumpUntil([&] { return foreign.Ticks() >= 2; }, 10000));
    const void *slot = GetPropA(foreign.preview, "PROP_LULLEXTIMERDATA");
    ASSERT_NE(nullptr, slot);
    ULONG_PTR held = HeldAt(slot);

    ScrStartTimer(foreign.preview);
    EXPECT_EQ(0, TimerThreadCount());
    EXPECT_EQ(held, HeldAt(slot));
    ScrStopTimer(foreign.preview);
    EXPECT_EQ(held, HeldAt(slot));
    EXPECT_TRUE(log.Has(Plain("ScrStartTimer: the window belongs to another process, so no timer is started")));
    EXPECT_TRUE(log.Has(Plain("ScrStopTimer: the window belongs to another process: its timer is not ours to stop.")));

    // The other process's timer goes on, and its preview ends with our window.
    int ticks = foreign.Ticks();
    EXPECT_TRUE(PumpUntil([&] { return foreign.Ticks() >= ticks + 3; }, 5000));
    DestroyWindow(foreign.parent);
    EXPECT_EQ(2u, WaitForChild(&foreign.child, 10000));
}

TEST_F(TimerTest, NoTimersMeansNoThreadAtAll)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.noTimers = 1; });
    int threadsBefore = ProcessThreadCount();
    Client.answerTimer = true;
    Client.timerPeriod = 10;
    HWND hwnd = CreateFullSaver();
    PumpFor(200);
    ScrStartTimer(hwnd);
    ScrStopTimer(hwnd);
    SendMessageA(hwnd, SCRM_INTERNAL, SCRINTERNAL_HADENOUGH, 0);
    EXPECT_EQ(0, TimerThreadCount());
    EXPECT_TRUE(Client.tickTimes.empty());
    EXPECT_EQ(threadsBefore, ProcessThreadCount());
    EXPECT_TRUE(log.Has(Plain("ScrStartTimer: Timers have been turned off in the prefs: they are not being initialized")));
    EXPECT_TRUE(log.Has(Plain("ScrStopTimer: Timers have been turned off: you can not destroy them.")));
    EXPECT_FALSE(log.Has(Plain("SCRINTERNAL_HADENOUGH: closing down thread...")));
    DestroyWindow(hwnd);
}

TEST_F(TimerTest, StopWithoutAWindowOnlyLogs)
{
    ScrStopTimer(NULL);
    EXPECT_TRUE(log.Has(Plain("ScrStopTimer: hwnd is null!")));
}

TEST_F(TimerTest, HadEnoughWithoutATimerIsReported)
{
    ChangePrefs([](ScrPrefs &prefs) { prefs.noTimers = 1; });
    HWND hwnd = CreateFullSaver();
    ChangePrefs([](ScrPrefs &prefs) { prefs.noTimers = 0; });
    MessageBoxCatcher boxes;
    SendMessageA(hwnd, SCRM_INTERNAL, SCRINTERNAL_HADENOUGH, 0);
    EXPECT_TRUE(log.Has(Plain("SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!")));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!", boxes.boxes[0].text);
    EXPECT_EQ("SCRTIMER error", boxes.boxes[0].caption);
    EXPECT_EQ(hwnd, boxes.boxes[0].owner);
    DestroyWindow(hwnd);
}

TEST_F(TimerTest, TickForAWindowThatIsGoneEndsTheThread)
{
    Client.answerTimer = true;
    Client.timerPeriod = 0;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 3; }, 2000));
    HANDLE thread = NewestThread();
    DestroyWindow(hwnd);
    EXPECT_TRUE(ThreadEnds(thread, 2000));
}

// Nothing could ever stop a thread for a window that carries no timer property.
TEST_F(TimerTest, StartForAWindowWithoutTheTimerPropertyIsRefused)
{
    HWND plain = CreateParentWindow();
    ScrStartTimer(NULL);
    ScrStartTimer(plain);
    EXPECT_EQ(0, TimerThreadCount());
    EXPECT_EQ(2, log.Count(Plain("ScrStartTimer: the window has no timer property, so no timer is started")));
    DestroyWindow(plain);
}

// A client procedure that keeps WM_DESTROY from DefSaverProc never stops the timer;
// the thread ends all the same, whether ticking or waiting to be let go.
TEST_F(TimerTest, ThreadEndsWhenItsWindowIsGoneWithoutStoppingIt)
{
    Client.answerTimer = true;
    Client.onTick = [](HWND hwnd) { SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)DefWindowProcA); };
    for (LRESULT period : {LRESULT(0), LRESULT(-1)}) {
        Client.timerPeriod = period;
        Client.tickTimes.clear();
        HWND hwnd = CreateFullSaver();
        ASSERT_TRUE(PumpUntil([] { return !Client.tickTimes.empty(); }, 2000));
        HANDLE thread = NewestThread();
        DestroyWindow(hwnd);
        EXPECT_TRUE(ThreadEnds(thread, 2000)) << "period " << period;
    }
}

// ---- The order of platform calls, seen through this program's import table ----

namespace {

HANDLE watchedThread;
bool aliveAtPost = false;
BOOL(WINAPI *realPostThreadMessage)(DWORD, UINT, WPARAM, LPARAM);

// The stop has cleared the running flag and woken the thread. Were the thread
// free to go on, it would end well within the time given here; it must still be
// there when the quit goes to its id.
BOOL WINAPI PostNotingWhetherTheThreadLives(DWORD id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    aliveAtPost = WaitForSingleObject(watchedThread, WaitLimit(250)) == WAIT_TIMEOUT;
    return realPostThreadMessage(id, msg, wParam, lParam);
}

}  // namespace

// An ended thread's id may already belong to another thread.
TEST_F(TimerTest, QuitIsPostedWhileTheThreadIsStillAlive)
{
    Client.answerTimer = true;
    Client.timerPeriod = 60000;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() == 1; }, 2000));
    watchedThread = NewestThread();
    aliveAtPost = false;
    *(void **)&realPostThreadMessage =
        ReplaceImport("user32.dll", "PostThreadMessageA", (void *)PostNotingWhetherTheThreadLives);
    ASSERT_NE(nullptr, realPostThreadMessage);
    ScrStopTimer(hwnd);
    ReplaceImport("user32.dll", "PostThreadMessageA", (void *)realPostThreadMessage);
    EXPECT_TRUE(ThreadEnds(watchedThread, 2000));
    EXPECT_TRUE(aliveAtPost);
    DestroyWindow(hwnd);
}

namespace {

BOOL WINAPI PostDroppingQuits(DWORD id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_QUIT)
        return TRUE;
    return realPostThreadMessage(id, msg, wParam, lParam);
}

}  // namespace

// A thread that waits after -1 ends once the window has let it go, even should
// the quit never reach it; its window lives on.
TEST_F(TimerTest, ThreadWaitingAfterHadEnoughEndsOnItsRunningFlag)
{
    *(void **)&realPostThreadMessage = ReplaceImport("user32.dll", "PostThreadMessageA", (void *)PostDroppingQuits);
    ASSERT_NE(nullptr, realPostThreadMessage);
    HWND hwnd = CreateFullSaver();
    bool letGo = PumpUntil([&] { return log.Has(Plain("SCRINTERNAL_HADENOUGH: closing down thread...")); }, 2000);
    HANDLE thread = NewestThread();
    bool ended = letGo && ThreadEnds(thread, 2000);
    ReplaceImport("user32.dll", "PostThreadMessageA", (void *)realPostThreadMessage);
    EXPECT_TRUE(letGo);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

namespace {

DWORD(WINAPI *realMsgWait)(DWORD, const HANDLE *, BOOL, DWORD, DWORD);
HANDLE newEvent;

DWORD WINAPI EndAtOnce(void *) { return 0; }

// Just before the end waits, a start elsewhere drops the finished thread's node,
// which closes its handle, and a new event may take the handle's value.
DWORD WINAPI WaitAfterTheListMoved(DWORD count, const HANDLE *handles, BOOL all, DWORD ms, DWORD mask)
{
    if (newEvent == NULL) {
        HANDLE idle = CreateThread(NULL, 0, EndAtOnce, NULL, 0, NULL);
        ListTimerThread(NewThreadListNode(), idle, NULL);
        newEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    }
    return realMsgWait(count, handles, all, ms, mask);
}

}  // namespace

TEST_F(TimerTest, EndWaitsOnThreadHandlesOfItsOwn)
{
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return TimerThreadCount() == 1; }, 2000));
    ASSERT_TRUE(ThreadEnds(NewestThread(), 5000));
    DestroyWindow(hwnd);
    newEvent = NULL;
    *(void **)&realMsgWait = ReplaceImport("user32.dll", "MsgWaitForMultipleObjects", (void *)WaitAfterTheListMoved);
    ASSERT_NE(nullptr, realMsgWait);
    DWORD start = GetTickCount();
    bool allEnded = EndTimerThreads(WaitLimit(3000));
    DWORD waited = GetTickCount() - start;
    ReplaceImport("user32.dll", "MsgWaitForMultipleObjects", (void *)realMsgWait);
    CloseHandle(newEvent);
    EXPECT_TRUE(allEnded);
    EXPECT_LT(waited, 1000u);
}

static size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    size_t used = 0;
    for (DWORD i = 0; i < count && i < 64; i++) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = NULL;
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

static void RunCycles(HWND *windows, int windowCount, int cycles)
{
    for (int i = 0; i < cycles; i++) {
        HWND hwnd = windows[i % windowCount];
        ScrStartTimer(hwnd);
        if (i % 3 == 0)
            PumpFor(1);   // some threads get to tick, some are stopped before their first loop
        ScrStopTimer(hwnd);
    }
}

// A thousand starts and stops across windows leave no thread, handle or memory
// behind while the framework still runs: a start finds the finished threads in
// the list and lets go of their nodes and handles.
TEST_F(TimerTest, ThousandStartStopCyclesLeaveNothingBehind)
{
    SKIP_WHERE_THREADS_ARE_EMULATED();
    ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 0; });   // the capture itself grows
    Client.answerTimer = true;
    Client.timerPeriod = 1;
    HWND windows[8];
    for (HWND &hwnd : windows)
        hwnd = CreateFullSaver();
    PumpFor(100);
    for (HWND hwnd : windows)
        ScrStopTimer(hwnd);
    RunCycles(windows, 8, 50);
    ASSERT_TRUE(DrainTimerThreads(10000));
    PumpFor(50);

    int threadsBefore = ProcessThreadCount();
    int handlesBefore = ProcessHandleCount();
    size_t heapBefore = HeapBytesInUse();

    RunCycles(windows, 8, 1000);
    // A thread whose handle is signalled may still be in the snapshot for a moment.
    EXPECT_TRUE(PumpUntil([&] { return ProcessThreadCount() == threadsBefore; }, 10000))
        << threadsBefore << " before, " << ProcessThreadCount() << " after";
    int listedAfterCycles = TimerThreadCount();
    ScrStartTimer(windows[0]);
    EXPECT_EQ(1, TimerThreadCount());
    ScrStopTimer(windows[0]);
    EXPECT_TRUE(PumpUntil([&] { return ProcessThreadCount() == threadsBefore; }, 2000));
    PumpFor(50);

    int handlesAfter = ProcessHandleCount();
    EXPECT_GT(handlesBefore, 0);
    EXPECT_LE(handlesAfter, handlesBefore + 1);   // the newest thread's handle
    size_t heapAfter = HeapBytesInUse();
    EXPECT_LT(heapAfter, heapBefore + 8192) << "before " << heapBefore << " after " << heapAfter;
    printf("1000 cycles: %d nodes listed once the threads had ended, heap %+ld bytes\n", listedAfterCycles,
           (long)(heapAfter - heapBefore));
    for (HWND hwnd : windows)
        DestroyWindow(hwnd);
}

// A client may start the timer of a window of its own before it calls any entry
// point; the thread list's lock is then set up by the timer itself.
TEST(TimerOutsideAnyMode, StartsTicksAndIsListedWithoutAnEntryPoint)
{
    StartFresh();
    Client.answerTimer = true;
    Client.timerPeriod = 10;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 3; }, 5000));
    EXPECT_EQ(1, TimerThreadCount());
    ScrStopTimer(hwnd);
    DestroyWindow(hwnd);
    EXPECT_TRUE(DrainTimerThreads(10000));
}
