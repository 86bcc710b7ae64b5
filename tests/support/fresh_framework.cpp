// Linked into a test program, makes every case start from a fresh framework, as
// though it ran in a process of its own.
#include "support/fresh_framework.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <vector>

#include "framework/services/services.h"
#include "support/framework_seams.h"

static BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND> *>(windows)->push_back(hwnd);
    return TRUE;
}

// A window an earlier case left behind would take part in the next one: a saver
// window that loses the activation closes, and its quit ends the next mode.
static void DestroyThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
}

bool StartWithAFreshFramework()
{
    DestroyThreadWindows();
    bool threadsEnded = ResetFramework();
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
    return threadsEnded;
}

namespace {

class FreshFramework : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &test) override
    {
        if (!StartWithAFreshFramework())
            printf("timer threads of the case before %s.%s were still running\n", test.test_suite_name(),
                   test.name());
    }
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshFramework);
    return true;
}();

}  // namespace
