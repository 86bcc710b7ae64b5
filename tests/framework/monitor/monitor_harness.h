// A parent window with one monitor control in it, and the means to drive the
// control's modal pieces (corner menus, the warning box) from inside the test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

enum { kControlId = 3640 };
extern const COLORREF kParentColour;

struct Notification {
    WPARAM wParam;
    LPARAM lParam;
    int paintsSoFar;   // control paints seen when the notification arrived
};

struct MonitorHarness {
    HWND parent = NULL;
    HWND control = NULL;

    // Creates a visible parent painted kParentColour, and a control of the
    // given style (WS_CHILD | WS_VISIBLE added) at x, y, width, height of its client area.
    bool Create(LONG style, int x, int y, int width, int height);
    ~MonitorHarness();
    RECT ControlRectInParent() const;
    LONG Style() const { return GetWindowLongA(control, GWL_STYLE); }
};

// Puts back what a fresh process has: the shared bitmaps, menus and corner layout
// loaded anew, no System Agent and no warning given yet, nothing seen by the parent.
void RestoreMonitorState();

// A case that starts from that state.
class FreshMonitor : public ::testing::Test {
protected:
    void SetUp() override { RestoreMonitorState(); }
};

std::vector<Notification> &Notifications();
int ControlPaints();
void PumpMessages();

// What happened while a corner menu was tracked.
struct MenuVisit {
    bool opened = false;
    HMENU menu = NULL;
    int itemCount = 0;
    UINT state[3] = {};
};

// Clicks at x, y of the control. While the menu is up, records it and then picks
// item `choice` with the keyboard, or dismisses the menu when choice < 0.
MenuVisit ClickAndChoose(HWND control, int x, int y, int choice);

// Message boxes are answered with OK and recorded.
struct BoxSeen {
    std::string text, caption;
    HWND owner;
    bool warningIcon;
};
void WatchMessageBoxes();
std::vector<BoxSeen> &BoxesSeen();

// 32-bit BGRX pixels, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> bits;
    DWORD At(int x, int y) const { return bits[y * width + x]; }
};
Pixels CaptureWindow(HWND hwnd, int width, int height);
Pixels ReadBitmap(HBITMAP bitmap);
bool SaveScreenshot(const Pixels &pixels, const char *name);
DWORD Bgrx(COLORREF colour);
