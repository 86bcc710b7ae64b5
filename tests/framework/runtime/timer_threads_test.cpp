// Timer calls made on threads that do not own the saver window. Before they were
// refused, such calls freed and wrote timer records under the window thread's
// feet (heap damage, crashes, orphan threads ticking at full speed), so each case
// runs in a process of its own: a crash here must not take other cases down.
#include <gtest/gtest.h>

#include <process.h>

#include "support/emulation.h"
#include "framework/runtime/runtime_harness.h"
#include "framework/runtime/timer.h"

namespace {

struct Caller {
    HWND hwnd;
    int rounds;
};

unsigned __stdcall StartAndStop(void *argument)
{
    const Caller *caller = (const Caller *)argument;
    for (int i = 0; i < caller->rounds; i++) {
        ScrStartTimer(caller->hwnd);
        ScrStopTimer(caller->hwnd);
    }
    return 0;
}

HANDLE StartCaller(Caller *caller)
{
    return (HANDLE)_beginthreadex(NULL, 0, StartAndStop, caller, 0, NULL);
}

bool Ended(HANDLE thread)
{
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

class ForeignThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartFresh();
        ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 1; });
        Client.answerTimer = true;
        Client.timerPeriod = 10;
    }
    void TearDown() override { EXPECT_TRUE(DrainTimerThreads(10000)); }

    LogCapture log;
};

}  // namespace

TEST_F(ForeignThread, StartAndStopFromAnotherThreadAreRefusedAndTheTimerGoesOn)
{
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return Client.tickTimes.size() >= 2; }, 5000));
    TimerData *timer = GetTimerProp(hwnd);
    Caller caller = {hwnd, 1};
    HANDLE thread = StartCaller(&caller);
    ASSERT_TRUE(PumpUntil([&] { return Ended(thread); }, 5000));
    CloseHandle(thread);

    EXPECT_EQ(1, log.Count(Plain("ScrStopTimer: the window belongs to another thread: only that thread may stop its timer.")));
    EXPECT_EQ(1, log.Count(Plain("ScrStartTimer: the window belongs to another thread: only that thread may start its timer.")));
    EXPECT_EQ(timer, GetTimerProp(hwnd));
    EXPECT_EQ(1, TimerThreadCount());
    size_t ticks = Client.tickTimes.size();
    EXPECT_TRUE(PumpUntil([&] { return Client.tickTimes.size() >= ticks + 3; }, 5000));
    DestroyWindow(hwnd);
}

// Four threads start and stop the timer while the window ticks and is then
// destroyed under them.
TEST_F(ForeignThread, FourThreadsStartingAndStoppingLeaveOneTimerAndNoOrphans)
{
    SKIP_WHERE_THREADS_ARE_EMULATED();
    ChangePrefs([](ScrPrefs &prefs) { prefs.debugMessages = 0; });
    Client.timerPeriod = 1;
    HWND hwnd = CreateFullSaver();
    ASSERT_TRUE(PumpUntil([] { return !Client.tickTimes.empty(); }, 5000));
    int threadsBefore = ProcessThreadCount();
    Caller caller = {hwnd, 500};
    HANDLE threads[4];
    for (HANDLE &thread : threads)
        thread = StartCaller(&caller);
    PumpFor(50);
    DestroyWindow(hwnd);
    bool allEnded = PumpUntil([&] {
        for (HANDLE thread : threads)
            if (!Ended(thread))
                return false;
        return true;
    }, 20000);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    ASSERT_TRUE(allEnded);
    EXPECT_EQ(1, TimerThreadCount());
    // The window's own timer thread ends with the window; no other is left.
    EXPECT_TRUE(PumpUntil([&] { return ProcessThreadCount() <= threadsBefore - 1; }, 5000))
        << threadsBefore << " before, " << ProcessThreadCount() << " after";
}
