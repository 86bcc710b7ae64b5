#include "monitor_harness.h"
#include <stdio.h>
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"
#include "support/framework_seams.h"

const COLORREF kParentColour = RGB(0xD0, 0x38, 0xA8);

static std::vector<Notification> notifications;
static std::vector<BoxSeen> boxes;
static int controlPaints;
static WNDPROC monitorProc;

std::vector<Notification> &Notifications() { return notifications; }
int ControlPaints() { return controlPaints; }

static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        notifications.push_back({wParam, lParam, controlPaints});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Counts the control's paints, then lets it do its own work.
static LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT)
        controlPaints++;
    return CallWindowProcA(monitorProc, hwnd, msg, wParam, lParam);
}

static void RegisterParentClass()
{
    static bool registered;
    if (registered)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = CreateSolidBrush(kParentColour);
    wc.lpszClassName = "MonitorTestParent";
    registered = RegisterClassA(&wc) != 0;
}

bool MonitorHarness::Create(LONG style, int x, int y, int width, int height)
{
    RegisterParentClass();
    parent = CreateWindowExA(0, "MonitorTestParent", "Monitor test", WS_OVERLAPPEDWINDOW,
                             30, 30, 520, 420, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!parent)
        return false;
    control = CreateWindowExA(0, "LullexMonitorClass", "", WS_CHILD | WS_VISIBLE | style,
                              x, y, width, height, parent, (HMENU)(INT_PTR)kControlId,
                              GetModuleHandleA(NULL), NULL);
    if (!control)
        return false;
    monitorProc = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    ShowWindow(parent, SW_SHOWNORMAL);
    UpdateWindow(parent);
    PumpMessages();
    return true;
}

MonitorHarness::~MonitorHarness()
{
    if (parent)
        DestroyWindow(parent);
}

void RestoreMonitorState()
{
    ResetFramework();
    ScrEnsureInit();
    notifications.clear();
    boxes.clear();
}

RECT MonitorHarness::ControlRectInParent() const
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, parent, (POINT *)&rect, 2);
    return rect;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- Corner menus ------------------------------------------------------------

static MenuVisit visit;
static int menuChoice;
static int menuTicks;

static HWND TrackedMenuWindow()
{
    HWND popup = FindWindowA("#32768", NULL);
    return popup && IsWindowVisible(popup) ? popup : NULL;
}

static void CALLBACK MenuTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = TrackedMenuWindow();
    if (!popup) {
        if (++menuTicks > 20)   // no menu came up: stop looking
            KillTimer(NULL, timer);
        return;
    }
    KillTimer(NULL, timer);
    visit.opened = true;
    visit.menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    visit.itemCount = GetMenuItemCount(visit.menu);
    for (int i = 0; i < 3 && i < visit.itemCount; i++)
        visit.state[i] = GetMenuState(visit.menu, i, MF_BYPOSITION);
    if (menuChoice < 0) {
        EndMenu();
        return;
    }
    // The menu loop reads keys from the thread's queue: step down to the item, then enter.
    for (int i = 0; i <= menuChoice; i++)
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

MenuVisit ClickAndChoose(HWND control, int x, int y, int choice)
{
    visit = MenuVisit();
    menuChoice = choice;
    menuTicks = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 50, MenuTimerProc);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    if (!visit.opened)
        KillTimer(NULL, timer);
    PumpMessages();   // the chosen item arrives as a posted WM_COMMAND
    return visit;
}

// ---- Message boxes -------------------------------------------------------------

static HHOOK boxHook;

std::vector<BoxSeen> &BoxesSeen() { return boxes; }

static bool ShowsWarningIcon(HWND box)
{
    HICON warning = LoadIconA(NULL, (LPCSTR)IDI_WARNING);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        char cls[32];
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && (HICON)SendMessageA(child, STM_GETICON, 0, 0) == warning)
            return true;
    }
    return false;
}

static LRESULT CALLBACK BoxHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char cls[32];
        GetClassNameA(box, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) {
            char text[512] = "", caption[256] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            GetWindowTextA(box, caption, sizeof caption);
            boxes.push_back({text, caption, GetWindow(box, GW_OWNER), ShowsWarningIcon(box)});
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
        }
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

void WatchMessageBoxes()
{
    if (!boxHook)
        boxHook = SetWindowsHookExA(WH_CBT, BoxHookProc, NULL, GetCurrentThreadId());
}

// ---- Pixels ------------------------------------------------------------------------

DWORD Bgrx(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

static BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Pixels CaptureWindow(HWND hwnd, int width, int height)
{
    Pixels pixels;
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info = TopDown32(width, height);
    void *bits = NULL;
    HBITMAP section = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section) {
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
        GdiFlush();
        pixels.width = width;
        pixels.height = height;
        pixels.bits.assign((DWORD *)bits, (DWORD *)bits + width * height);
        for (DWORD &p : pixels.bits)
            p &= 0xFFFFFF;
        SelectObject(memory, old);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return pixels;
}

Pixels ReadBitmap(HBITMAP bitmap)
{
    Pixels pixels;
    BITMAP size = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof size, &size))
        return pixels;
    BITMAPINFO info = TopDown32(size.bmWidth, size.bmHeight);
    pixels.bits.resize(size.bmWidth * size.bmHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, size.bmHeight, pixels.bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != size.bmHeight)
        return Pixels();
    pixels.width = size.bmWidth;
    pixels.height = size.bmHeight;
    for (DWORD &p : pixels.bits)
        p &= 0xFFFFFF;
    return pixels;
}

bool SaveScreenshot(const Pixels &pixels, const char *name)
{
    CreateDirectoryA("screenshots", NULL);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "screenshots/%s.bmp", name);
    FILE *file = fopen(path, "wb");
    if (!file)
        return false;
    BITMAPINFOHEADER header = TopDown32(pixels.width, pixels.height).bmiHeader;
    DWORD size = (DWORD)pixels.bits.size() * 4;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + size;
    bool ok = fwrite(&fileHeader, sizeof fileHeader, 1, file) == 1 &&
              fwrite(&header, sizeof header, 1, file) == 1 &&
              fwrite(pixels.bits.data(), size, 1, file) == 1;
    fclose(file);
    return ok;
}
