// The About box: the saver's own dialog 2004 when it has one, else 3602.
#include "framework/config/config_host.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"

#include <string.h>

static const int ClientAboutDialog = 2004;
static const int FrameworkAboutDialog = 3602;
static const int VersionControl = 10;

int ShowFrameworkAboutBox(HWND owner)
{
    return (int)DialogBoxParamA(FrameworkModule, MAKEINTRESOURCEA(FrameworkAboutDialog), owner,
                                AboutDlgProc, 0);
}

int ShowAboutBox(HWND owner)
{
    if (ClientHasAboutBox)
        return (int)DialogBoxParamA(ClientInstance, MAKEINTRESOURCEA(ClientAboutDialog), owner,
                                    AboutDlgProc, 0);
    return ShowFrameworkAboutBox(owner);
}

// Control 10 reads, for example, "Lullex" followed by " v" and the version.
static void AppendVersion(HWND dialog)
{
    char version[49] = "";
    ScrGetVersion(version, sizeof version);
    HWND control = GetDlgItem(dialog, VersionControl);
    if (!version[0] || !control)
        return;
    char text[100 + 2 + sizeof version] = "";
    GetWindowTextA(control, text, 100);
    strcat(text, " v");
    strcat(text, version);
    SetWindowTextA(control, text);
}

INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: AppendVersion(hwnd); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwnd, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
