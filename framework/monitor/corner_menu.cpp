// The corner menus: a click on a corner button offers Default, Now and Never,
// and the choice is written back into the control's style bits.
#include "framework/monitor/monitor.h"
#include "framework/monitor/corner_state.h"
#include "framework/monitor/monitor_handlers.h"
#include "framework/services/services.h"

enum {
    IDS_AGENT_CAPTION = 3057,
    IDS_AGENT_WARNING = 3058,
};

static int CornerAt(int x, int y)
{
    POINT point = {x, y};
    int found = -1;
    for (int corner = 0; corner < 4; corner++) {
        if (PtInRect(&cornerRect[corner], point))
            found = corner;
    }
    return found;
}

void TrackCornerMenu(HWND hwnd, int x, int y)
{
    int corner = CornerAt(x, y);
    if (corner < 0 || !cornerMenu[corner])
        return;
    HMENU menu = cornerMenu[corner];
    UINT position = DecodeCornerState(GetWindowLongA(hwnd, GWL_STYLE), corner);
    CheckMenuItem(menu, position, MF_BYPOSITION | MF_CHECKED);

    POINT point = {x, y};
    ClientToScreen(hwnd, &point);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, 0, hwnd, NULL);

    CheckMenuItem(menu, position, MF_BYPOSITION | MF_UNCHECKED);
}

// The hot corners do nothing without the System Agent; say so once, on the
// first choice, unless the agent was found.
static void WarnOnceWithoutAgent(HWND hwnd)
{
    if (agentPresent || agentWarned)
        return;
    char text[99], caption[99];
    if (LoadStringA(FrameworkModule, IDS_AGENT_WARNING, text, sizeof text) > 0 &&
        LoadStringA(FrameworkModule, IDS_AGENT_CAPTION, caption, sizeof caption) > 0)
        MessageBoxA(GetParent(hwnd), text, caption, MB_OK | MB_ICONWARNING);
    agentWarned = true;
}

void ApplyCornerChoice(HWND hwnd, UINT id)
{
    WarnOnceWithoutAgent(hwnd);
    int corner = (id & 0xF00) >> 8;
    int choice = id & 0xFF;
    if (corner > 3 || choice > 2)
        return;

    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    int states[4];
    for (int i = 0; i < 4; i++)
        states[i] = DecodeCornerState(style, i);
    states[corner] = choice;
    SetWindowLongA(hwnd, GWL_STYLE, EncodeCornerStates(style, states));

    InvalidateRect(hwnd, NULL, FALSE);
    UpdateWindow(hwnd);
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), 0), (LPARAM)hwnd);
}
