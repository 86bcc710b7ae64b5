#include "tests/image/message_boxes.h"
#include "image/dib_loader.h"
#include <cstring>

namespace {

HHOOK cbtHook;
std::vector<CaughtBox> caught;
RecordedBox recorded;

void ReadBoxChildren(HWND box, CaughtBox *out)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        // The box itself is not shown yet when it is activated, so look at the
        // children's own visibility bit.
        if (!(style & WS_VISIBLE)) continue;
        if (!lstrcmpiA(cls, "Button")) {
            out->buttons.push_back(GetDlgCtrlID(child));
        } else if (!lstrcmpiA(cls, "Static") && (style & SS_TYPEMASK) == SS_ICON) {
            if (SendMessageA(child, STM_GETICON, 0, 0)) out->hasIcon = true;
        } else if (!lstrcmpiA(cls, "Static")) {
            char text[1100] = "";
            GetWindowTextA(child, text, sizeof text);
            if (text[0]) out->text = text;
        }
    }
}

LRESULT CALLBACK CatchBox(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    char cls[32] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(window, cls, sizeof cls) && !strcmp(cls, "#32770")) {
        CaughtBox box;
        char caption[256] = "";
        GetWindowTextA(window, caption, sizeof caption);
        box.caption = caption;
        box.owner = GetWindow(window, GW_OWNER);
        ReadBoxChildren(window, &box);
        caught.push_back(box);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    ++recorded.calls;
    recorded.owner = owner;
    recorded.style = style;
    lstrcpynA(recorded.text, text, sizeof recorded.text);
    lstrcpynA(recorded.caption, caption, sizeof recorded.caption);
    return IDOK;
}

} // namespace

void StartCatchingBoxes()
{
    caught.clear();
    cbtHook = SetWindowsHookExA(WH_CBT, CatchBox, nullptr, GetCurrentThreadId());
}

void StopCatchingBoxes()
{
    if (cbtHook) UnhookWindowsHookEx(cbtHook);
    cbtHook = nullptr;
}

const std::vector<CaughtBox> &CaughtBoxes() { return caught; }

void StartRecordingBoxes()
{
    recorded = RecordedBox{};
    LoaderMessageBox = RecordBox;
}

void StopRecordingBoxes() { LoaderMessageBox = MessageBoxA; }

RecordedBox &RecordedBoxes() { return recorded; }
