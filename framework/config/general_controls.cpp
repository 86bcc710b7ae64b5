// Filling the General page's controls from the settings and reading them back.
#include "framework/config/general_dialog.h"
#include "framework/config/resource_lookup.h"
#include "framework/config/system_agent.h"
#include "framework/monitor/corner_state.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    FirstSensitivityString = 3534, LastSensitivityString = 3537,
    SecondsString = 3538, MinutesString = 3539,
    AlwaysPasswordString = 3540, NeverPasswordString = 3541,
};
static const int WaitMaximum = 99;

static void ShowControl(HWND page, int id, bool shown)
{
    ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE);
}

static void ShowAndEnable(HWND page, int id, bool on)
{
    ShowControl(page, id, on);
    EnableWindow(GetDlgItem(page, id), on);
}

static void AddListRow(HWND page, int list, const char *text)
{
    SendDlgItemMessageA(page, list, CB_ADDSTRING, 0, (LPARAM)text);
}

// "%i" as the C library reads it (sign, 0x, leading 0), saturating instead of
// wrapping when the digits do not fit; false when no number starts the text.
static bool ReadInteger(const char *text, LONG *value)
{
    char *end;
    long number = strtol(text, &end, 0);
    if (end == text)
        return false;
    *value = number;
    return true;
}

static void ShowCorners(HWND page, const BYTE corner[4])
{
    HWND monitor = GetDlgItem(page, MonitorControl);
    const int states[4] = {corner[0], corner[1], corner[2], corner[3]};
    SetWindowLongA(monitor, GWL_STYLE, EncodeCornerStates(GetWindowLongA(monitor, GWL_STYLE), states));
}

static void ShowAgentText(HWND page)
{
    agentPresent = DetectSystemAgent() != 0;
    ShowControl(page, AgentActiveText, agentPresent);
    ShowControl(page, AgentMissingText, !agentPresent);
}

static void ShowFixedPasswordRule(HWND page)
{
    char text[100];
    int id = CurrentPrefs.alwaysRequirePassword ? AlwaysPasswordString : NeverPasswordString;
    if (!LoadFrameworkString(id, text, sizeof text))
        strcpy(text, "Special password treatment.");
    SetDlgItemTextA(page, FixedPasswordText, text);
    for (int control = WaitLabel; control <= WaitTrailer; ++control)
        ShowControl(page, control, false);
    EnableWindow(GetDlgItem(page, WaitBox), FALSE);
    EnableWindow(GetDlgItem(page, WaitUpDown), FALSE);
    EnableWindow(GetDlgItem(page, WaitUnitList), FALSE);
    ShowControl(page, FixedPasswordText, true);
}

static void ShowPasswordWait(HWND page, LONG delay, LONG unit)
{
    char text[100];
    ShowControl(page, FixedPasswordText, false);
    SendDlgItemMessageA(page, WaitUnitList, CB_RESETCONTENT, 0, 0);
    if (LoadFrameworkString(SecondsString, text, sizeof text))
        AddListRow(page, WaitUnitList, text);
    if (LoadFrameworkString(MinutesString, text, sizeof text))
        AddListRow(page, WaitUnitList, text);
    SendDlgItemMessageA(page, WaitUnitList, CB_SETCURSEL, (WPARAM)unit, 0);
    sprintf(text, "%i", (int)(unit == 1 ? delay / 60 : delay));
    SetDlgItemTextA(page, WaitBox, text);
    SendDlgItemMessageA(page, WaitUpDown, UDM_SETRANGE, 0, MAKELPARAM(WaitMaximum, 0));
}

// Each row string is "label,threshold"; the list shows the label.
static void ShowSensitivityRows(HWND page, LONG selected)
{
    SendDlgItemMessageA(page, SensitivityList, CB_RESETCONTENT, 0, 0);
    for (int id = FirstSensitivityString; id <= LastSensitivityString; ++id) {
        char row[100];
        if (!LoadFrameworkString(id, row, sizeof row))
            continue;
        char *comma = strrchr(row, ',');
        if (comma)
            *comma = '\0';
        AddListRow(page, SensitivityList, row);
    }
    SendDlgItemMessageA(page, SensitivityList, CB_SETCURSEL, (WPARAM)selected, 0);
}

static void ShowCheckBox(HWND page, int id, LONG value, LONG offered)
{
    CheckDlgButton(page, id, value ? BST_CHECKED : BST_UNCHECKED);
    ShowAndEnable(page, id, offered != 0);
}

void GeneralDialog::SetupControls(HWND page)
{
    fillingControls = 1;
    ShowCorners(page, corner);
    ShowAgentText(page);
    if (CurrentPrefs.alwaysRequirePassword || CurrentPrefs.neverRequirePassword)
        ShowFixedPasswordRule(page);
    else
        ShowPasswordWait(page, passwordDelay, passwordDelayIndex);
    ShowSensitivityRows(page, mouseThresholdIndex);
    ShowCheckBox(page, MuteSoundBox, muteSound, CurrentPrefs.supportsMuteSound);
    ShowCheckBox(page, ActiveConfigBox, activeConfig, CurrentPrefs.supportsActiveConfig);
    fillingControls = 0;
}

static bool Update(LONG *field, LONG value)
{
    bool changed = *field != value;
    *field = value;
    return changed;
}

static bool ReadCorners(HWND page, BYTE corner[4])
{
    LONG style = GetWindowLongA(GetDlgItem(page, MonitorControl), GWL_STYLE);
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        BYTE state = static_cast<BYTE>(DecodeCornerState(style, i));
        changed |= corner[i] != state;
        corner[i] = state;
    }
    return changed;
}

static LRESULT SelectedRow(HWND page, int list)
{
    return SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0);
}

// A typed amount that is no number, or a negative one, leaves the wait as it was.
static bool ReadPasswordDelay(HWND page, LONG unit, LONG *delay)
{
    char text[100] = "";
    LONG amount;
    GetDlgItemTextA(page, WaitBox, text, sizeof text);
    if (!ReadInteger(text, &amount) || amount < 0)
        return false;
    LONGLONG seconds = unit == 1 ? (LONGLONG)amount * 60 : amount;
    if (seconds > LONG_MAX)
        seconds = LONG_MAX;
    return Update(delay, (LONG)seconds);
}

static bool ReadThreshold(LONG row, LONG *threshold)
{
    char text[100];
    if (row < 0)
        row = 0;
    if (row > LastSensitivityString - FirstSensitivityString)
        row = LastSensitivityString - FirstSensitivityString;
    if (!LoadFrameworkString(FirstSensitivityString + row, text, sizeof text))
        return false;
    const char *comma = strrchr(text, ',');
    LONG value;
    if (!comma || !ReadInteger(comma + 1, &value))
        return false;
    return Update(threshold, value);
}

static bool ReadCheckBox(HWND page, int id, LONG *field)
{
    return Update(field, IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0);
}

void GeneralDialog::ReadControls(HWND page)
{
    if (fillingControls)
        return;
    bool changed = ReadCorners(page, corner);

    LRESULT unit = SelectedRow(page, WaitUnitList);
    if (unit != CB_ERR)
        changed |= Update(&passwordDelayIndex, (LONG)unit);
    changed |= ReadPasswordDelay(page, passwordDelayIndex, &passwordDelay);

    LRESULT row = SelectedRow(page, SensitivityList);
    if (row != CB_ERR) {
        changed |= Update(&mouseThresholdIndex, (LONG)row);
        changed |= ReadThreshold(mouseThresholdIndex, &mouseThreshold);
    }

    if (CurrentPrefs.supportsMuteSound)
        changed |= ReadCheckBox(page, MuteSoundBox, &muteSound);
    if (CurrentPrefs.supportsActiveConfig)
        changed |= ReadCheckBox(page, ActiveConfigBox, &activeConfig);

    if (!changed)
        return;
    DebugOut("Lullex: GeneralDialog: a control has been changed. Doing registry stuff.");
    WriteRegistry();
    NotifyChanges(page, NotifyAfterChange);
}
