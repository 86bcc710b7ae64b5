// A saver preview placed in a window of the client's choice, and the "&About"
// entry of the configuration sheet's system menu.
#include "framework/startup/preview_embedding.h"
#include "framework/config/config_host.h"
#include "framework/lullex.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

#include <commctrl.h>
#include <string.h>

static const UINT AboutCommand = 3500;
static const UINT AboutString = 3500;
static const UINT SeparatorId = 1;

// The preview of a monitor control lives in the control's inner window.
static HWND MonitorPreviewParent(HWND monitor)
{
    if ((GetWindowLongA(monitor, GWL_STYLE) & MS_KINDMASK) != MS_PREVIEW) {
        static const char text[] =
            "CreatePreview: Cannot, because monitor has wrong style! Give it the MS_PREVIEW style.";
        DebugOut(text);
        DebugMessageBox(monitor, text, "Programming error");
        return NULL;
    }
    HWND inner = GetWindow(monitor, GW_CHILD);
    if (!inner) {
        DebugOut("CreatePreview: Internal error. No monitor-window window could be found.");
        DebugMessageBox(monitor, "CreatePreview: No monitor-window window could be found.",
                        "Internal error");
    }
    return inner;
}

HWND LULLEXAPI CreatePreview(HWND window)
{
    ScrEnsureInit();
    if (!window)
        return NULL;
    char className[49] = "";
    GetClassNameA(window, className, sizeof className);
    HWND parent = window;
    if (strcmp(className, "LullexMonitorClass") == 0) {
        parent = MonitorPreviewParent(window);
        if (!parent)
            return NULL;
    }
    if (!CurrentModeOps.createPreviewWindow)
        return NULL;
    return CurrentModeOps.createPreviewWindow(parent, 1);
}

static void AddAboutEntry(HWND sheet)
{
    char text[99];
    if (!LoadStringA(FrameworkModule, AboutString, text, sizeof text) || !text[0])
        return;
    HMENU menu = GetSystemMenu(sheet, FALSE);
    if (!menu)
        return;
    AppendMenuA(menu, MF_SEPARATOR, SeparatorId, NULL);
    AppendMenuA(menu, MF_STRING, AboutCommand, text);
}

// A client's property-sheet hook may show the sheet over a dialog of its own,
// whose DWL_USER slot holds the client's data.
static bool IsConfigHost(HWND window)
{
    return window && (DLGPROC)GetWindowLongPtrA(window, DWLP_DLGPROC) == ConfigHostDlgProc;
}

// The sheet's own procedure is kept in the DWL_USER slot of its parent, the
// hidden host dialog. Without that slot to keep it in the sheet stays as it is.
static void SubclassSheet(HWND sheet)
{
    HWND parent = GetParent(sheet);
    if (!IsConfigHost(parent))
        return;
    LONG_PTR previous = SetWindowLongPtrA(sheet, GWLP_WNDPROC, (LONG_PTR)SheetSubclassProc);
    SetWindowLongPtrA(parent, DWLP_USER, previous);
    if (GetWindowLongPtrA(parent, DWLP_USER) != previous)
        SetWindowLongPtrA(sheet, GWLP_WNDPROC, previous);
}

// The header gives the sheet the saver's small icon only; its large icon is the
// one the host dialog holds, so that the task switcher shows the saver's too.
static void ShareLargeIcon(HWND sheet)
{
    HWND host = GetParent(sheet);
    HICON large = host ? (HICON)SendMessageA(host, WM_GETICON, ICON_BIG, 0) : NULL;
    if (large)
        SendMessageA(sheet, WM_SETICON, ICON_BIG, (LPARAM)large);
}

int CALLBACK ScrPropSheetCallback(HWND sheet, UINT msg, LPARAM)
{
    if (msg != PSCB_INITIALIZED)
        return 0;
    ShareLargeIcon(sheet);
    if (CurrentPrefs.noAboutMenu)
        return 0;
    // The entry works only through the subclass, which needs the host's slot.
    if (!IsConfigHost(GetParent(sheet)))
        return 0;
    AddAboutEntry(sheet);
    SubclassSheet(sheet);
    return 0;
}

LRESULT CALLBACK SheetSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND parent = GetParent(hwnd);
    WNDPROC previous = IsConfigHost(parent) ? (WNDPROC)GetWindowLongPtrA(parent, DWLP_USER) : NULL;
    if (msg == WM_DESTROY && previous)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)previous);
    if (msg == WM_SYSCOMMAND && wParam == AboutCommand && CurrentModeOps.showAbout)
        CurrentModeOps.showAbout(hwnd);
    if (previous)
        return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
