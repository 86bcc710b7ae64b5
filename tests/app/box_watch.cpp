#include "app/box_watch.h"

static HHOOK BoxHook;
static std::vector<int> BoxAnswers;
static size_t NextAnswer;
static BoxSnapshot Snapshot;
static std::vector<SeenBox> Boxes;
static std::vector<HWND> AnsweredBoxes;   // a box may be activated more than once

static bool IsDialogWindow(HWND hwnd)
{
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

static BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    SeenBox *box = (SeenBox *)param;
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(name, "Button") == 0 && (style & WS_VISIBLE)) {
        box->buttons.push_back(GetDlgCtrlID(child));
    } else if (lstrcmpiA(name, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            box->icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        } else {
            char text[1024] = "";
            GetWindowTextA(child, text, sizeof text);
            if (text[0])
                box->text = text;
        }
    }
    return TRUE;
}

SeenBox DescribeMessageBox(HWND hwnd)
{
    SeenBox box;
    box.icon = NULL;
    char caption[256] = "";
    GetWindowTextA(hwnd, caption, sizeof caption);
    box.caption = caption;
    EnumChildWindows(hwnd, CollectChild, (LPARAM)&box);
    return box;
}

HICON SystemIcon(LPCSTR id)
{
    return LoadIconA(NULL, id);
}

static int DefaultButton(HWND box)
{
    LRESULT id = SendMessageA(box, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : IDOK;
}

static bool WasAnswered(HWND hwnd)
{
    for (HWND answered : AnsweredBoxes)
        if (answered == hwnd)
            return true;
    return false;
}

static LRESULT CALLBACK BoxHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = (HWND)wParam;
    if (code == HCBT_ACTIVATE && IsDialogWindow(hwnd) && !WasAnswered(hwnd)) {
        AnsweredBoxes.push_back(hwnd);
        SeenBox box = DescribeMessageBox(hwnd);
        if (Snapshot)
            box.note = Snapshot();
        Boxes.push_back(box);
        int answer = NextAnswer < BoxAnswers.size() ? BoxAnswers[NextAnswer++] : DefaultButton(hwnd);
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), (LPARAM)GetDlgItem(hwnd, answer));
    }
    return CallNextHookEx(BoxHook, code, wParam, lParam);
}

void WatchMessageBoxes(std::vector<int> answers, BoxSnapshot snapshot)
{
    BoxAnswers = answers;
    NextAnswer = 0;
    Snapshot = snapshot;
    Boxes.clear();
    AnsweredBoxes.clear();
    BoxHook = SetWindowsHookExA(WH_CBT, BoxHookProc, NULL, GetCurrentThreadId());
}

void StopWatchingMessageBoxes()
{
    if (BoxHook)
        UnhookWindowsHookEx(BoxHook);
    BoxHook = NULL;
}

const std::vector<SeenBox> &SeenBoxes()
{
    return Boxes;
}
