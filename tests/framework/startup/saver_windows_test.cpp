// The window-creation slots of the three entry variants on the real screen:
// class, title, styles, size, parent and the creation record's kind.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "framework/lullex.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/runners.h"
#include "startup_support.h"
#include "support/log_capture.h"

namespace {

class SaverWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScrEnsureInit();
        seenCreations.clear();
        ClientInstance = GetModuleHandleA(nullptr);
        RegisterTestSaverClass("OvScreenSaverClass", RecordingSaverProc);
        RegisterTestSaverClass("DummyScreenSaverClass", RecordingSaverProc);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = ClientInstance;
        wc.lpszClassName = "PreviewParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "PreviewParent", "parent", WS_POPUP | WS_VISIBLE, 300, 200, 152, 112, nullptr,
                                 nullptr, ClientInstance, nullptr);
        ASSERT_NE(parent, nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        CreateHook = nullptr;
        HostWindow = nullptr;
    }

    static void SetDebugMode(LONG on)
    {
        ScrPrefs *prefs = ScrGetPrefs();
        prefs->debugMode = on;
        ScrSetPrefs(prefs);
    }

    static void SetDebugMessages(LONG on)
    {
        ScrPrefs *prefs = ScrGetPrefs();
        prefs->debugMessages = on;
        ScrSetPrefs(prefs);
    }

    HWND parent = nullptr;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT *rect, LPARAM all)
{
    UnionRect(reinterpret_cast<RECT *>(all), reinterpret_cast<RECT *>(all), rect);
    return TRUE;
}

// What the monitors themselves cover, all of them together.
RECT AllMonitors()
{
    RECT all = {};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&all));
    return all;
}

void ExpectPreviewFillsParent(HWND preview, HWND parent)
{
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(preview), parent);
    RECT outer, inner;
    GetWindowRect(parent, &outer);
    GetWindowRect(preview, &inner);
    EXPECT_EQ(inner.left, outer.left);
    EXPECT_EQ(inner.top, outer.top);
    EXPECT_EQ(inner.right - inner.left, 152);
    EXPECT_EQ(inner.bottom - inner.top, 112);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(preview, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x50000000u);
    char title[32] = "";
    GetWindowTextA(preview, title, sizeof(title));
    EXPECT_STREQ(title, "SaverPreview");
}

}  // namespace

TEST_F(SaverWindows, FullScreenWindowIsATopmostPopupCoveringTheScreen)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    HWND saver = CreateRunSaverWindow();
    ASSERT_NE(saver, nullptr);
    RECT rect;
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 1024);
    EXPECT_EQ(rect.bottom, 768);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(saver, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x90000000u);
    EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetParent(saver), nullptr);

    ASSERT_EQ(seenCreations.size(), 1u);
    const SeenCreation &seen = seenCreations[0];
    EXPECT_EQ(seen.kind, SAVERKIND_FULLSCREEN);
    EXPECT_EQ(seen.reserved, 0);
    EXPECT_EQ(seen.className, "OvScreenSaverClass");
    EXPECT_EQ(seen.title, "SaverWindow");
    EXPECT_EQ(seen.style, 0x90000000u);
    EXPECT_EQ(seen.exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    EXPECT_EQ(seen.instance, ClientInstance);
    DestroyWindow(saver);
}

TEST_F(SaverWindows, DebugModeMakesASmallOverlappedWindowOfOneSixthOfTheScreen)
{
    SetDebugMode(1);
    HWND saver = CreateRunSaverWindow();
    ASSERT_NE(saver, nullptr);
    RECT rect;
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN) / 6);   // 170 on 1024
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN) / 6);   // 128 on 768
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(saver, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x10CF0000u);
    EXPECT_FALSE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].style, 0x10CF0000u);
    EXPECT_EQ(seenCreations[0].exStyle & ~WS_EX_WINDOWEDGE, 0u);   // the system adds the edge
    EXPECT_EQ(seenCreations[0].cx, 170);
    EXPECT_EQ(seenCreations[0].cy, 128);
    DestroyWindow(saver);
}

TEST_F(SaverWindows, CommandLinePreviewFillsItsParentAndIsOfKindTwo)
{
    HWND preview = CreateRunPreviewWindow(parent, 0);
    ExpectPreviewFillsParent(preview, parent);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].kind, SAVERKIND_SYSTEMPREVIEW);
    EXPECT_EQ(seenCreations[0].x, 0);
    EXPECT_EQ(seenCreations[0].y, 0);
    EXPECT_EQ(seenCreations[0].exStyle, 0u);
}

TEST_F(SaverWindows, KindsSeenInWmCreateAreZeroTwoAndOneThroughCreatePreview)
{
    CurrentModeOps.createPreviewWindow = CreateRunPreviewWindow;
    HWND saver = CreateRunSaverWindow();
    HWND preview = CreateRunPreviewWindow(parent, 0);
    HWND other = CreateWindowExA(0, "PreviewParent", "other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, nullptr,
                                 nullptr, ClientInstance, nullptr);
    HWND monitorPreview = CreatePreview(other);
    ASSERT_NE(saver, nullptr);
    ASSERT_NE(preview, nullptr);
    ASSERT_NE(monitorPreview, nullptr);
    ASSERT_EQ(seenCreations.size(), 3u);
    EXPECT_EQ(seenCreations[0].kind, 0);
    EXPECT_EQ(seenCreations[1].kind, 2);
    EXPECT_EQ(seenCreations[2].kind, 1);
    EXPECT_EQ(seenCreations[2].cx, 80);
    EXPECT_EQ(seenCreations[2].cy, 60);
    DestroyWindow(other);
    DestroyWindow(saver);
}

TEST_F(SaverWindows, PreviewOfAMissingParentIsNotCreated)
{
    EXPECT_EQ(CreateRunPreviewWindow(nullptr, 0), nullptr);
    EXPECT_EQ(CreateHostedPreviewWindow(reinterpret_cast<HWND>(99999), 0), nullptr);
}

// ---- ScrRunWithHooks: the hook gets the filled CREATESTRUCTA ----

namespace {

struct HookCall {
    LONG kind;
    CREATESTRUCTA create;
    std::string className, title;
};
std::vector<HookCall> hookCalls;
bool hookFails = false;
HWND failedHookAnswer = nullptr;
const char *failedHookClass = nullptr;   // a failing hook creates its window in this class, if set

HWND CALLBACK RecordingCreateHook(LONG kind, CREATESTRUCTA *cs)
{
    hookCalls.push_back({kind, *cs, cs->lpszClass, cs->lpszName});
    if (hookFails) {
        HWND answer = failedHookAnswer;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        if (failedHookClass)
            answer = CreateWindowExA(cs->dwExStyle, failedHookClass, cs->lpszName, static_cast<DWORD>(cs->style),
                                     cs->x, cs->y, cs->cx, cs->cy, cs->hwndParent, cs->hMenu, cs->hInstance,
                                     cs->lpCreateParams);
        DWORD error = GetLastError();
        free(cs->lpCreateParams);
        SetLastError(error);
        return answer;
    }
    return CreateWindowExA(cs->dwExStyle, cs->lpszClass, cs->lpszName, static_cast<DWORD>(cs->style), cs->x, cs->y,
                           cs->cx, cs->cy, cs->hwndParent, cs->hMenu, cs->hInstance, cs->lpCreateParams);
}

}  // namespace

TEST_F(SaverWindows, CreateHookReceivesTheFilledCreateStructForEachKind)
{
    hookCalls.clear();
    CreateHook = RecordingCreateHook;
    HWND saver = CreateHookedSaverWindow();
    HWND preview = CreateHookedPreviewWindow(parent, 0);
    HWND monitorPreview = CreateHookedPreviewWindow(parent, 1);
    ASSERT_NE(saver, nullptr);
    ASSERT_EQ(hookCalls.size(), 3u);

    const CREATESTRUCTA &full = hookCalls[0].create;
    EXPECT_EQ(hookCalls[0].kind, 0);
    EXPECT_EQ(hookCalls[0].className, "DummyScreenSaverClass");
    EXPECT_EQ(hookCalls[0].title, "SaverWindow");
    EXPECT_EQ(static_cast<DWORD>(full.style), 0x90000000u);
    EXPECT_EQ(full.dwExStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    RECT monitors = AllMonitors();
    ASSERT_FALSE(IsRectEmpty(&monitors));
    EXPECT_EQ(full.x, monitors.left);
    EXPECT_EQ(full.y, monitors.top);
    EXPECT_EQ(full.cx, monitors.right - monitors.left);
    EXPECT_EQ(full.cy, monitors.bottom - monitors.top);
    EXPECT_EQ(full.hwndParent, nullptr);
    EXPECT_EQ(full.hMenu, nullptr);
    EXPECT_EQ(full.hInstance, ClientInstance);
    EXPECT_NE(full.lpCreateParams, nullptr);

    const CREATESTRUCTA &small = hookCalls[1].create;
    EXPECT_EQ(hookCalls[1].kind, 2);
    EXPECT_EQ(hookCalls[1].title, "SaverPreview");
    EXPECT_EQ(hookCalls[1].className, "DummyScreenSaverClass");
    EXPECT_EQ(static_cast<DWORD>(small.style), 0x50000000u);
    EXPECT_EQ(small.dwExStyle, 0u);
    EXPECT_EQ(small.cx, 152);
    EXPECT_EQ(small.cy, 112);
    EXPECT_EQ(small.hwndParent, parent);
    EXPECT_EQ(hookCalls[2].kind, 1);

    // The record travels on to the window.
    ASSERT_EQ(seenCreations.size(), 3u);
    EXPECT_EQ(seenCreations[0].kind, 0);
    EXPECT_EQ(seenCreations[1].kind, 2);
    EXPECT_EQ(seenCreations[2].kind, 1);
    ExpectPreviewFillsParent(preview, parent);
    ExpectPreviewFillsParent(monitorPreview, parent);
    DestroyWindow(saver);
}

TEST_F(SaverWindows, WithoutACreateHookTheDummyClassWindowIsMadeDirectly)
{
    HWND saver = CreateHookedSaverWindow();
    HWND preview = CreateHookedPreviewWindow(parent, 0);
    ASSERT_NE(saver, nullptr);
    ExpectPreviewFillsParent(preview, parent);
    ASSERT_EQ(seenCreations.size(), 2u);
    EXPECT_EQ(seenCreations[0].className, "DummyScreenSaverClass");
    EXPECT_EQ(seenCreations[1].className, "DummyScreenSaverClass");
    DestroyWindow(saver);
}

TEST_F(SaverWindows, ACreateHookThatMakesNoWindowEndsTheModeWithTwo)
{
    hookCalls.clear();
    hookFails = true;
    CreateHook = RecordingCreateHook;
    CurrentModeOps.createSaverWindow = CreateHookedSaverWindow;
    CurrentModeOps.createPreviewWindow = CreateHookedPreviewWindow;
    SetDebugMessages(1);
    // No window, an answer that is no window (a hook asking for the default), a
    // window of a class nobody registered: each is named in one debug line.
    // The platform's own error for a class that nobody registered (Windows gives
    // 1407, Wine 1411).
    CreateWindowExA(0, "NoSuchSaverClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const std::string noSuchClass = std::to_string(GetLastError());
    struct Failure {
        HWND answer;
        const char *className;
        std::string line;
    } failures[] = {
        {nullptr, nullptr, "Lullex: createHook gave no saver window, last error 8"},
        {reinterpret_cast<HWND>(HOOK_DEFAULT), nullptr, "Lullex: createHook answered 9, which is no saver window"},
        {nullptr, "NoSuchSaverClass", "Lullex: createHook gave no saver window, last error " + noSuchClass},
    };
    for (const Failure &failure : failures) {
        failedHookAnswer = failure.answer;
        failedHookClass = failure.className;
        LogCapture log;
        EXPECT_EQ(RunSaverMode(), 2);
        EXPECT_EQ(RunPreviewMode(parent), 2);
        std::string logged;
        for (const std::string &line : log.Lines())
            logged += line;
        EXPECT_EQ(log.Count(failure.line + "___________  \n\r"), 2) << logged;
    }
    SetDebugMessages(0);
    failedHookAnswer = nullptr;
    failedHookClass = nullptr;
    EXPECT_EQ(hookCalls.size(), 6u);
    BOOL running = TRUE;
    if (SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) {
        EXPECT_FALSE(running);
    }
    hookFails = false;
}

// ---- ScrRunHosted: the host is asked in turn, the first non-zero answer wins ----

namespace {

struct HostCall {
    UINT msg;
    WPARAM wParam;
    LONG kind;
};
std::vector<HostCall> hostCalls;
UINT hostAnswers = 0;   // the one creation message the host answers, 0 for none

LRESULT CALLBACK TestHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg < SCRM_CREATECONFIGPREVIEW || msg > SCRM_CREATEWINDOW)
        return DefClientProc(hwnd, msg, wParam, lParam);
    CREATESTRUCTA *cs = reinterpret_cast<CREATESTRUCTA *>(lParam);
    hostCalls.push_back({msg, wParam, static_cast<SaverCreateParams *>(cs->lpCreateParams)->kind});
    if (msg != hostAnswers)
        return DefClientProc(hwnd, msg, wParam, lParam);
    return reinterpret_cast<LRESULT>(CreateWindowExA(cs->dwExStyle, cs->lpszClass, cs->lpszName,
                                                     static_cast<DWORD>(cs->style), cs->x, cs->y, cs->cx, cs->cy,
                                                     cs->hwndParent, cs->hMenu, cs->hInstance, cs->lpCreateParams));
}

HWND MakeHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestHostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TestHost", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

std::vector<UINT> Messages()
{
    std::vector<UINT> result;
    for (const HostCall &call : hostCalls)
        result.push_back(call.msg);
    return result;
}

}  // namespace

TEST_F(SaverWindows, HostAnsweringTheSystemPreviewGetsItsWindowUsedAndNoFurtherMessage)
{
    HostWindow = MakeHost();
    hostCalls.clear();
    hostAnswers = SCRM_CREATESYSPREVIEW;
    HWND preview = CreateHostedPreviewWindow(parent, 0);
    ExpectPreviewFillsParent(preview, parent);
    EXPECT_EQ(Messages(), std::vector<UINT>({SCRM_CREATESYSPREVIEW}));
    EXPECT_EQ(hostCalls[0].wParam, 2u);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].hwnd, preview);
}

TEST_F(SaverWindows, HostIsAskedInTurnUntilOneMessageIsAnswered)
{
    struct {
        LONG forMonitor;
        UINT answered;
        std::vector<UINT> expected;
    } previewRows[] = {
        {0, SCRM_CREATEPREVIEW, {SCRM_CREATESYSPREVIEW, SCRM_CREATEPREVIEW}},
        {0, SCRM_CREATEWINDOW, {SCRM_CREATESYSPREVIEW, SCRM_CREATEPREVIEW, SCRM_CREATEWINDOW}},
        {1, SCRM_CREATECONFIGPREVIEW, {SCRM_CREATECONFIGPREVIEW}},
        {1, SCRM_CREATEWINDOW, {SCRM_CREATECONFIGPREVIEW, SCRM_CREATEPREVIEW, SCRM_CREATEWINDOW}},
        {1, SCRM_CREATESYSPREVIEW, {SCRM_CREATECONFIGPREVIEW, SCRM_CREATEPREVIEW, SCRM_CREATEWINDOW}},
    };
    HostWindow = MakeHost();
    for (const auto &row : previewRows) {
        hostCalls.clear();
        hostAnswers = row.answered;
        HWND preview = CreateHostedPreviewWindow(parent, row.forMonitor);
        ExpectPreviewFillsParent(preview, parent);
        EXPECT_EQ(Messages(), row.expected) << "answered 0x" << std::hex << row.answered;
        for (const HostCall &call : hostCalls) {
            EXPECT_EQ(call.wParam, row.forMonitor ? 1u : 2u);
            EXPECT_EQ(call.kind, row.forMonitor ? 1 : 2);
        }
        DestroyWindow(preview);
    }

    struct {
        UINT answered;
        std::vector<UINT> expected;
    } saverRows[] = {
        {SCRM_CREATESAVER, {SCRM_CREATESAVER}},
        {SCRM_CREATEWINDOW, {SCRM_CREATESAVER, SCRM_CREATEWINDOW}},
        {0, {SCRM_CREATESAVER, SCRM_CREATEWINDOW}},
    };
    for (const auto &row : saverRows) {
        hostCalls.clear();
        hostAnswers = row.answered;
        HWND saver = CreateHostedSaverWindow();
        ASSERT_NE(saver, nullptr);
        EXPECT_EQ(Messages(), row.expected);
        for (const HostCall &call : hostCalls)
            EXPECT_EQ(call.wParam, 0u);
        DestroyWindow(saver);
    }
}

TEST_F(SaverWindows, HostAnsweringNothingStillGetsAWorkingPreview)
{
    HostWindow = MakeHost();
    hostCalls.clear();
    hostAnswers = 0;
    HWND preview = CreateHostedPreviewWindow(parent, 0);
    ExpectPreviewFillsParent(preview, parent);
    EXPECT_EQ(Messages(), std::vector<UINT>({SCRM_CREATESYSPREVIEW, SCRM_CREATEPREVIEW, SCRM_CREATEWINDOW}));
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].className, "DummyScreenSaverClass");
    EXPECT_EQ(seenCreations[0].kind, 2);
}
