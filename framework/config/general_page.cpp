// The General page's dialog procedure: every control change is read back at
// once, OK remembers and announces, Cancel reverts.
#include "framework/config/general_page.h"
#include "framework/config/general_dialog.h"
#include "framework/config/help.h"
#include "framework/services/services.h"

#include <commctrl.h>

// Control id, help context; ended by 0, 0.
static const DWORD helpIdMap[] = {
    3630, 3101, 3631, 3101, 3632, 3101,
    3633, 3102, 3634, 3102, 3635, 3102, 3636, 3102, 3637, 3102,
    3638, 3100, 3639, 3100, 3640, 3100,
    3641, 3105,
    3643, 3106,
    0, 0,
};

static void AttachSettings(HWND page, const PROPSHEETPAGEA *record)
{
    DebugOut("Lullex: GeneralDlgProc: WM_INITDIALOG. Setting up controls");
    GeneralDialog *settings = record ? (GeneralDialog *)record->lParam : NULL;
    if (!settings)
        return;
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)settings);
    settings->SetupControls(page);
}

static void ShowHelp(HWND control, int controlId, UINT command)
{
    char file[100];
    if (ChooseHelpFile(controlId == ActiveConfigBox, file, sizeof file))
        WinHelpRoutine(control, file, command, (ULONG_PTR)helpIdMap);
}

static void ShowControlHelp(const HELPINFO *info)
{
    DebugOut("Lullex: GeneralDlgProc: WM_HELP");
    if (info)
        ShowHelp((HWND)info->hItemHandle, info->iCtrlId, HELP_WM_HELP);
}

static void ShowContextHelp(HWND control)
{
    DebugOut("Lullex: GeneralDlgProc: WM_CONTEXTMENU");
    ShowHelp(control, GetDlgCtrlID(control), HELP_CONTEXTMENU);
}

// The sheet is closing. Its controls still show the abandoned values, and the
// one holding the focus reports losing it while the sheet is destroyed; reading
// them again then would write the abandoned values back over the reverted ones.
static void RevertSettings(HWND page, GeneralDialog *settings)
{
    DebugOut("Lullex: GeneralDlgProc: PSN_RESET - reverting back");
    settings->fillingControls = 1;
    if (settings->Revert()) {
        settings->WriteRegistry();
        settings->NotifyChanges(page, NotifyAfterChange);
    }
}

static void AcceptSettings(HWND page, GeneralDialog *settings)
{
    DebugOut("Lullex: GeneralDlgProc: PSN_APPLY - remembering current values");
    settings->Remember();
    settings->NotifyChanges(page, NotifyAfterOk);
}

static INT_PTR HandleSheetNotice(HWND page, GeneralDialog *settings, const NMHDR *header)
{
    if (!settings || !header)
        return TRUE;
    switch (header->code) {
    case PSN_SETACTIVE:
        DebugOut("Lullex: GeneralDlgProc: PSN_SETACTIVE - nothing much");
        return TRUE;
    case PSN_KILLACTIVE:
        DebugOut("Lullex: GeneralDlgProc: PSN_KILLACTIVE - Validating. Everything is OK");
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    case PSN_APPLY: AcceptSettings(page, settings); return TRUE;
    case PSN_RESET: RevertSettings(page, settings); return TRUE;
    }
    return FALSE;
}

// Only a control's change notice means a new value. Focus moving, a list opened
// and closed, a selection confirmed unchanged: read as a change, any of them would
// store a wait the page shows in truncated minutes as soon as the sheet opens, and
// Cancel would then write the opening values back over the user's. The monitor
// control tells of a corner choice as a click.
static bool ReportsAChange(WPARAM wParam)
{
    const int control = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (control == WaitBox)
        return code == EN_CHANGE;
    if (control == SensitivityList || control == WaitUnitList)
        return code == CBN_SELCHANGE;
    return code == BN_CLICKED;
}

INT_PTR CALLBACK GeneralDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    GeneralDialog *settings = (GeneralDialog *)GetWindowLongPtrA(hwnd, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:  AttachSettings(hwnd, (const PROPSHEETPAGEA *)lParam); return TRUE;
    case WM_DESTROY:     DebugOut("Lullex: GeneralDlgProc: WM_DESTROY - tidying up"); return TRUE;
    case WM_COMMAND:
        if (!lParam || !settings)
            return FALSE;
        if (ReportsAChange(wParam))
            settings->ReadControls(hwnd);
        return TRUE;
    case WM_NOTIFY:      return HandleSheetNotice(hwnd, settings, (const NMHDR *)lParam);
    case WM_HELP:        ShowControlHelp((const HELPINFO *)lParam); return TRUE;
    case WM_CONTEXTMENU: ShowContextHelp((HWND)wParam); return TRUE;
    }
    return FALSE;
}
