// Built into every test program: a case that is still running after a minute
// (stretched by NIMBRA_TEST_WAIT_SCALE) fails under its own name, and the program
// ends there. Without it a wait that never ends (a SendMessage to a thread that
// no longer answers, a message loop whose quit never comes) holds the program
// until CTest's limit, which names no case.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "support/emulation.h"
#include "support/wait_limit.h"

namespace {

const DWORD CaseLimitMs = 60000;

CRITICAL_SECTION guard;
char runningCase[512];   // empty between cases
HANDLE caseChanged;      // auto-reset: set at every start and end of a case

DWORD WINAPI Watch(void *)
{
    const DWORD limit = WaitLimit(CaseLimitMs);
    for (;;) {
        if (WaitForSingleObject(caseChanged, limit) == WAIT_OBJECT_0)
            continue;
        EnterCriticalSection(&guard);
        bool hung = runningCase[0] != '\0';
        if (hung) {
            printf("\n[  FAILED  ] %s: still running after %lu s; a wait in it never ended\n", runningCase,
                   (unsigned long)(limit / 1000));
            fflush(stdout);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        LeaveCriticalSection(&guard);
    }
}

class CaseWatchdog : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &test) override
    {
        EnterCriticalSection(&guard);
        snprintf(runningCase, sizeof runningCase, "%s.%s", test.test_suite_name(), test.name());
        LeaveCriticalSection(&guard);
        SetEvent(caseChanged);
    }
    void OnTestEnd(const testing::TestInfo &) override
    {
        EnterCriticalSection(&guard);
        runningCase[0] = '\0';
        LeaveCriticalSection(&guard);
        SetEvent(caseChanged);
    }
};

const bool installed = [] {
    InitializeCriticalSection(&guard);
    caseChanged = CreateEventA(NULL, FALSE, FALSE, NULL);
    // Under qemu's emulator a thread beside the cases' own ones ends the process
    // (see emulation.h): there CTest's time limit is the only bound.
    if (ThreadsRunUnderEmulation())
        return true;
    HANDLE watcher = CreateThread(NULL, 0, Watch, NULL, 0, NULL);
    if (watcher != NULL)
        CloseHandle(watcher);
    testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return true;
}();

}  // namespace
