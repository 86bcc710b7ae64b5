#include "scene/message_box_watch.h"

namespace {

std::vector<SeenMessageBox> seenBoxes;

std::string WindowText(HWND window)
{
    char text[512] = "";
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[32] = "";
        GetClassNameA(box, className, sizeof className);
        if (std::string(className) == "#32770") {
            // A message box's text is the static control with id 0xFFFF.
            seenBoxes.push_back({WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))});
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

MessageBoxWatch::MessageBoxWatch()
{
    seenBoxes.clear();
    hook = SetWindowsHookExA(WH_CBT, AnswerMessageBox, nullptr, GetCurrentThreadId());
}

MessageBoxWatch::~MessageBoxWatch()
{
    UnhookWindowsHookEx(hook);
}

const std::vector<SeenMessageBox> &MessageBoxWatch::Seen() const
{
    return seenBoxes;
}
