// The window-creation slots of the three entry variants: the full-screen saver
// window and the preview window, each with its SaverCreateParams.
#include "framework/startup/runners.h"

#include <stdio.h>
#include <stdlib.h>

#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

static const char RunClass[] = "OvScreenSaverClass";
static const char DummyClass[] = "DummyScreenSaverClass";
static const char SaverTitle[] = "SaverWindow";
static const char PreviewTitle[] = "SaverPreview";

static const DWORD SaverStyle = WS_POPUP | WS_VISIBLE;                 // 0x90000000
static const DWORD DebugSaverStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;  // 0x10CF0000
static const DWORD PreviewStyle = WS_CHILD | WS_VISIBLE;               // 0x50000000

// DefSaverProc frees the record with free() at WM_CREATE.
static SaverCreateParams *NewCreateParams(LONG kind)
{
    SaverCreateParams *params = static_cast<SaverCreateParams *>(malloc(sizeof(SaverCreateParams)));
    if (params) {
        params->reserved = 0;
        params->kind = kind;
    }
    return params;
}

// Fills the creation values of a preview filling the parent; false when the
// record cannot be allocated.
static bool PreparePreview(HWND parent, LONG forMonitor, const char *className, CREATESTRUCTA *cs)
{
    RECT rect = {};
    GetWindowRect(parent, &rect);
    LONG kind = forMonitor ? SAVERKIND_MONITORPREVIEW : SAVERKIND_SYSTEMPREVIEW;
    SaverCreateParams *params = NewCreateParams(kind);
    if (!params)
        return false;
    *cs = {};
    cs->lpCreateParams = params;
    cs->hInstance = ClientInstance;
    cs->hMenu = nullptr;
    cs->hwndParent = parent;
    cs->cy = rect.bottom - rect.top;
    cs->cx = rect.right - rect.left;
    cs->y = 0;
    cs->x = 0;
    cs->style = static_cast<LONG>(PreviewStyle);
    cs->lpszName = PreviewTitle;
    cs->lpszClass = className;
    cs->dwExStyle = 0;
    return true;
}

// The saver covers every monitor: the whole virtual screen, whose top-left corner
// may lie left of or above the primary display's. The debug window is a sixth of
// the primary display.
static bool PrepareSaver(const char *className, CREATESTRUCTA *cs)
{
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    DWORD exStyle = WS_EX_TOPMOST;
    DWORD style = SaverStyle;
    if (CurrentPrefs.debugMode) {
        x = 0;
        y = 0;
        width = GetSystemMetrics(SM_CXSCREEN) / 6;
        height = GetSystemMetrics(SM_CYSCREEN) / 6;
        exStyle = 0;
        style = DebugSaverStyle;
    }
    SaverCreateParams *params = NewCreateParams(SAVERKIND_FULLSCREEN);
    if (!params)
        return false;
    *cs = {};
    cs->lpCreateParams = params;
    cs->hInstance = ClientInstance;
    cs->hMenu = nullptr;
    cs->hwndParent = nullptr;
    cs->cy = height;
    cs->cx = width;
    cs->y = y;
    cs->x = x;
    cs->style = static_cast<LONG>(style);
    cs->lpszName = SaverTitle;
    cs->lpszClass = className;
    cs->dwExStyle = exStyle;
    return true;
}

// What a creation gave counts as the window only when it is one: an answer such
// as HOOK_DEFAULT would otherwise leave the mode pumping messages for a window
// that never comes. Without a window the mode ends at once with 2, so the log
// says who gave none and why: the last error as the attempt left it.
static HWND WindowOrNothing(HWND answer, const char *maker)
{
    DWORD error = GetLastError();
    if (IsWindow(answer))
        return answer;
    char line[120];
    if (answer)
        snprintf(line, sizeof line, "Lullex: %s answered %lu, which is no saver window", maker,
                 static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(answer)));
    else
        snprintf(line, sizeof line, "Lullex: %s gave no saver window, last error %lu", maker, error);
    DebugOut(line);
    return nullptr;
}

static HWND CreateFromStruct(const CREATESTRUCTA *cs)
{
    HWND window = CreateWindowExA(cs->dwExStyle, cs->lpszClass, cs->lpszName, static_cast<DWORD>(cs->style),
                                  cs->x, cs->y, cs->cx, cs->cy, cs->hwndParent, cs->hMenu, cs->hInstance,
                                  cs->lpCreateParams);
    return WindowOrNothing(window, "CreateWindowExA");
}

// The host's first non-zero answer is the window; all zero leaves it to us.
static HWND AskHost(const UINT *messages, int count, LONG kind, CREATESTRUCTA *cs)
{
    for (int i = 0; i < count; ++i) {
        LRESULT answer = SendMessageA(HostWindow, messages[i], static_cast<WPARAM>(kind),
                                      reinterpret_cast<LPARAM>(cs));
        if (answer)
            return WindowOrNothing(reinterpret_cast<HWND>(answer), "the host window");
    }
    return CreateFromStruct(cs);
}

HWND CreateRunPreviewWindow(HWND parent, LONG forMonitor)
{
    CREATESTRUCTA cs;
    return PreparePreview(parent, forMonitor, RunClass, &cs) ? CreateFromStruct(&cs) : nullptr;
}

HWND CreateRunSaverWindow()
{
    CREATESTRUCTA cs;
    return PrepareSaver(RunClass, &cs) ? CreateFromStruct(&cs) : nullptr;
}

HWND CreateHookedPreviewWindow(HWND parent, LONG forMonitor)
{
    CREATESTRUCTA cs;
    if (!PreparePreview(parent, forMonitor, DummyClass, &cs))
        return nullptr;
    if (!CreateHook)
        return CreateFromStruct(&cs);
    LONG kind = static_cast<SaverCreateParams *>(cs.lpCreateParams)->kind;
    return WindowOrNothing(CreateHook(kind, &cs), "createHook");
}

HWND CreateHookedSaverWindow()
{
    CREATESTRUCTA cs;
    if (!PrepareSaver(DummyClass, &cs))
        return nullptr;
    if (!CreateHook)
        return CreateFromStruct(&cs);
    return WindowOrNothing(CreateHook(SAVERKIND_FULLSCREEN, &cs), "createHook");
}

HWND CreateHostedPreviewWindow(HWND parent, LONG forMonitor)
{
    CREATESTRUCTA cs;
    if (!PreparePreview(parent, forMonitor, DummyClass, &cs))
        return nullptr;
    LONG kind = static_cast<SaverCreateParams *>(cs.lpCreateParams)->kind;
    UINT first = kind == SAVERKIND_MONITORPREVIEW ? SCRM_CREATECONFIGPREVIEW : SCRM_CREATESYSPREVIEW;
    const UINT messages[] = {first, SCRM_CREATEPREVIEW, SCRM_CREATEWINDOW};
    return AskHost(messages, 3, kind, &cs);
}

HWND CreateHostedSaverWindow()
{
    CREATESTRUCTA cs;
    if (!PrepareSaver(DummyClass, &cs))
        return nullptr;
    const UINT messages[] = {SCRM_CREATESAVER, SCRM_CREATEWINDOW};
    return AskHost(messages, 2, SAVERKIND_FULLSCREEN, &cs);
}
