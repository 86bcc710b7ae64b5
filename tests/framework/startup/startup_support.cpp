#include "startup_support.h"

#include <string.h>

#include "framework/lullex.h"

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
