// CreatePreview: inside a monitor control of the preview style, refused in one
// of another style or without its inner window, directly inside any other window.
#include <windows.h>
#include <string.h>

#include <gtest/gtest.h>

#include "framework/config/config_harness.h"
#include "framework/runtime/timer.h"

namespace {

LONG kindSeen = -1;
int previewsCreated = 0;

// The saver's own procedure reads the kind before the framework frees the record.
LRESULT CALLBACK SaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        const CREATESTRUCTA *cs = (const CREATESTRUCTA *)lParam;
        if (cs->lpCreateParams)
            kindSeen = ((const SaverCreateParams *)cs->lpCreateParams)->kind;
        ++previewsCreated;
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

// One framed window serves every case, and each case's windows inside it go at its
// end: closing a framed window on a bare X server waits two seconds for a window
// manager that is not there.
class CreatePreviewIn : public testing::Test {
protected:
    static inline HWND frame = NULL;

    static void SetUpTestSuite()
    {
        frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 300,
                                NULL, NULL, NULL, NULL);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(frame);
        frame = NULL;
    }

    void SetUp() override
    {
        ASSERT_NE(frame, nullptr);
        // A preview that ends posts WM_QUIT: none of an earlier case's may be left.
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        kindSeen = -1;
        previewsCreated = 0;
        PrepareFramework();
        WatchMessageBoxes();
        ChangePrefs([](ScrPrefs &p) { p.noTimers = 1; });
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = SaverProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "OvScreenSaverClass";
        RegisterClassExA(&wc);
    }
    void TearDown() override
    {
        while (HWND child = GetWindow(frame, GW_CHILD))
            DestroyWindow(child);
    }

    HWND Monitor(LONG style)
    {
        return CreateWindowExA(0, "LullexMonitorClass", "", WS_CHILD | WS_VISIBLE | style, 10, 10, 184, 170,
                               frame, (HMENU)3640, GetModuleHandleA(NULL), NULL);
    }
    static void WithDebugMessages() { ChangePrefs([](ScrPrefs &p) { p.debugMessages = 1; }); }
};

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(CreatePreviewIn, NoWindowGivesNoPreview)
{
    WithDebugMessages();
    EXPECT_EQ(CreatePreview(NULL), nullptr);
    EXPECT_TRUE(BoxesSeen().empty());
    EXPECT_EQ(previewsCreated, 0);
}

TEST_F(CreatePreviewIn, PreviewMonitorHostsItInItsInnerWindow)
{
    HWND monitor = Monitor(MS_PREVIEW);
    HWND inner = GetWindow(monitor, GW_CHILD);
    ASSERT_NE(inner, nullptr);
    HWND preview = CreatePreview(monitor);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(preview), inner);
    EXPECT_EQ(ClassOf(preview), "OvScreenSaverClass");
    EXPECT_EQ(kindSeen, SAVERKIND_MONITORPREVIEW);
    RECT innerRect, previewRect;
    GetWindowRect(inner, &innerRect);
    GetWindowRect(preview, &previewRect);
    EXPECT_TRUE(EqualRect(&innerRect, &previewRect));
    EXPECT_TRUE(BoxesSeen().empty());
}

TEST_F(CreatePreviewIn, OrdinaryWindowHostsItDirectly)
{
    HWND preview = CreatePreview(frame);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(preview), frame);
    EXPECT_EQ(kindSeen, SAVERKIND_MONITORPREVIEW);
    RECT frameRect, previewRect;
    GetWindowRect(frame, &frameRect);
    GetWindowRect(preview, &previewRect);
    EXPECT_EQ(previewRect.right - previewRect.left, frameRect.right - frameRect.left);
    EXPECT_EQ(previewRect.bottom - previewRect.top, frameRect.bottom - frameRect.top);
    // It is an ordinary preview there: its end ends the message loop.
    DestroyWindow(preview);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(CreatePreviewIn, CornersMonitorIsAProgrammingError)
{
    WithDebugMessages();
    HWND monitor = Monitor(MS_CORNERS);
    EXPECT_EQ(CreatePreview(monitor), nullptr);
    EXPECT_EQ(previewsCreated, 0);
    ASSERT_EQ(BoxesSeen().size(), 1u);
    EXPECT_EQ(BoxesSeen()[0].caption, "Programming error");
    EXPECT_EQ(BoxesSeen()[0].text,
              "CreatePreview: Cannot, because monitor has wrong style! Give it the MS_PREVIEW style.");
}

TEST_F(CreatePreviewIn, WrongStyleIsRefusedSilentlyWithoutDebugMessages)
{
    EXPECT_EQ(CreatePreview(Monitor(MS_NOTHING)), nullptr);
    EXPECT_EQ(CreatePreview(Monitor(MS_CORNERS)), nullptr);
    EXPECT_TRUE(BoxesSeen().empty());
    EXPECT_EQ(previewsCreated, 0);
}

TEST_F(CreatePreviewIn, PreviewMonitorWithoutItsInnerWindowIsAnInternalError)
{
    WithDebugMessages();
    HWND monitor = Monitor(MS_NOTHING);   // created without the inner window...
    SetWindowLongA(monitor, GWL_STYLE, GetWindowLongA(monitor, GWL_STYLE) | MS_PREVIEW);   // ...then restyled
    EXPECT_EQ(CreatePreview(monitor), nullptr);
    EXPECT_EQ(previewsCreated, 0);
    ASSERT_EQ(BoxesSeen().size(), 1u);
    EXPECT_EQ(BoxesSeen()[0].caption, "Internal error");
    EXPECT_EQ(BoxesSeen()[0].text, "CreatePreview: No monitor-window window could be found.");
}

}   // namespace
