#include "startup_support.h"

#include <string.h>

#include <algorithm>

#include "framework/lullex.h"

BoxCatcher *BoxCatcher::active = nullptr;

BoxCatcher::BoxCatcher()
{
    active = this;
    hook = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

BoxCatcher::~BoxCatcher()
{
    UnhookWindowsHookEx(hook);
    active = nullptr;
}

LRESULT CALLBACK BoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    char cls[32] = "";
    if (active && code == HCBT_ACTIVATE && GetClassNameA(hwnd, cls, sizeof(cls)) && strcmp(cls, "#32770") == 0 &&
        !GetPropA(hwnd, "BoxCatcherSeen")) {
        SetPropA(hwnd, "BoxCatcherSeen", reinterpret_cast<HANDLE>(1));
        CaughtBox box;
        char text[2048] = "";
        GetWindowTextA(hwnd, text, sizeof(text));
        box.caption = text;
        text[0] = '\0';
        GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof(text));
        box.text = text;
        box.owner = GetWindow(hwnd, GW_OWNER);
        active->boxes.push_back(box);
        int button = GetDlgItem(hwnd, IDOK) ? IDOK : IDCANCEL;
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool SetProcessCommandLine(const char *text)
{
    static size_t capacity = strlen(GetCommandLineA());
    char *line = GetCommandLineA();
    if (strlen(text) > capacity)
        return false;
    strcpy(line, text);
    return true;
}

std::vector<SeenCreation> seenCreations;

LRESULT CALLBACK RecordingSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        const SaverCreateParams *params = static_cast<const SaverCreateParams *>(cs->lpCreateParams);
        SeenCreation seen;
        seen.hwnd = hwnd;
        seen.kind = params ? params->kind : -1;
        seen.reserved = params ? params->reserved : -1;
        seen.className = HIWORD(cs->lpszClass) ? cs->lpszClass : "#atom";
        seen.title = cs->lpszName ? cs->lpszName : "";
        seen.style = static_cast<DWORD>(cs->style);
        seen.exStyle = cs->dwExStyle;
        seen.x = cs->x;
        seen.y = cs->y;
        seen.cx = cs->cx;
        seen.cy = cs->cy;
        seen.parent = cs->hwndParent;
        seen.instance = cs->hInstance;
        seenCreations.push_back(seen);
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

void RegisterTestSaverClass(const char *name, WNDPROC proc)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}
