#include "support/message_box_catcher.h"

#include <string.h>

#include <algorithm>

MessageBoxCatcher *MessageBoxCatcher::active = nullptr;

MessageBoxCatcher::MessageBoxCatcher()
{
    active = this;
    hook = SetWindowsHookExA(WH_CBT, HookProc, NULL, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(hook);
    active = nullptr;
}

static bool IsDialogWindow(HWND hwnd)
{
    char className[32] = "";
    GetClassNameA(hwnd, className, sizeof(className));
    return strcmp(className, "#32770") == 0;
}

static std::string ItemText(HWND hwnd, int id)
{
    char text[2048] = "";
    GetDlgItemTextA(hwnd, id, text, sizeof(text));
    return text;
}

static bool HasWarningIcon(HWND hwnd)
{
    HICON shown = (HICON)SendDlgItemMessageA(hwnd, 0x0440, STM_GETICON, 0, 0);   // the box's icon control
    return shown != NULL && shown == LoadIconA(NULL, (LPCSTR)IDI_WARNING);
}

LRESULT CALLBACK MessageBoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxCatcher *self = active;
    HWND hwnd = (HWND)wParam;
    if (self != nullptr && code == HCBT_ACTIVATE && IsDialogWindow(hwnd) &&
        std::find(self->open.begin(), self->open.end(), hwnd) == self->open.end()) {
        self->open.push_back(hwnd);
        CaughtBox box;
        char caption[512] = "";
        GetWindowTextA(hwnd, caption, sizeof(caption));
        box.caption = caption;
        box.text = ItemText(hwnd, 0xFFFF);
        box.owner = GetWindow(hwnd, GW_OWNER);
        box.hasOk = GetDlgItem(hwnd, IDOK) != NULL;
        box.hasCancel = GetDlgItem(hwnd, IDCANCEL) != NULL;
        box.hasWarningIcon = HasWarningIcon(hwnd);
        box.okOnly = box.hasOk && !box.hasCancel && GetDlgItem(hwnd, IDYES) == NULL && GetDlgItem(hwnd, IDNO) == NULL;
        self->boxes.push_back(box);
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(box.hasOk ? IDOK : IDCANCEL, BN_CLICKED), 0);
    }
    if (self != nullptr && code == HCBT_DESTROYWND)
        self->open.erase(std::remove(self->open.begin(), self->open.end(), hwnd), self->open.end());
    return CallNextHookEx(NULL, code, wParam, lParam);
}
