// The configuration mode: an invisible host dialog whose initialisation builds
// and runs the property sheet, then relays the General page's settings notices.
#include "framework/config/config_host.h"
#include "framework/config/general_dialog.h"
#include "framework/config/general_page.h"
#include "framework/config/resource_lookup.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/preview_embedding.h"
#include "framework/startup/prefs.h"

#include <commctrl.h>
#include <new>
#include <stdio.h>

static const int CaptionString = 3501;
static const int HostDialog = 3600;
static const int GeneralPageDialog = 3601;
static const int ClientPageDialog = 2003;
static const int SaverIcon = 100;
static const int FrameworkIcon = 199;

// Room for the General page and the saver's own page, each a version-one
// record: the sheet steps through the array by each record's dwSize.
static const int PageRecordSize = PROPSHEETPAGEA_V1_SIZE;
static const int PageCapacity = 2;

PROPSHEETPAGEA *PageRecord(const PROPSHEETHEADERA *header, int index)
{
    return (PROPSHEETPAGEA *)((BYTE *)header->ppsp + index * PageRecordSize);
}

int DoConfigDialog(HWND owner, LONG mode)
{
    DebugOut("Lullex: DoConfigDialog: starting...");
    CheckResources();
    ConfigHostParams params = {mode, 0};
    INT_PTR result = DialogBoxParamA(FrameworkModule, MAKEINTRESOURCEA(HostDialog), owner,
                                     ConfigHostDlgProc, (LPARAM)&params);
    DebugOut("Lullex: ~DoConfigDialog.");
    return (int)result;
}

// Icon 100 of the saver, of the framework, then 199 of the saver, of the framework.
static HICON LoadSheetIcon(int size)
{
    const int ids[4] = {SaverIcon, SaverIcon, FrameworkIcon, FrameworkIcon};
    HINSTANCE modules[4] = {ClientInstance, FrameworkModule, ClientInstance, FrameworkModule};
    UINT flags = size ? 0 : LR_DEFAULTSIZE;
    for (int i = 0; i < 4; ++i) {
        if (!modules[i])
            continue;
        HANDLE icon = LoadImageA(modules[i], MAKEINTRESOURCEA(ids[i]), IMAGE_ICON, size, size, flags);
        if (icon)
            return (HICON)icon;
    }
    return NULL;
}

static void FillPage(PROPSHEETPAGEA *page, HINSTANCE instance, int dialog, DLGPROC proc, LPARAM lParam)
{
    page->dwSize = PageRecordSize;
    page->dwFlags = 0;
    page->hInstance = instance;
    page->pszTemplate = MAKEINTRESOURCEA(dialog);
    page->hIcon = NULL;
    page->pszTitle = NULL;
    page->pfnDlgProc = proc;
    page->lParam = lParam;
}

static void FillHeader(PROPSHEETHEADERA *header, HWND host, HICON icon, const char *caption,
                       BYTE *pages)
{
    ZeroMemory(header, sizeof *header);
    header->dwSize = PROPSHEETHEADERA_V1_SIZE;
    header->dwFlags = PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header->hwndParent = host;
    header->hInstance = ClientInstance;
    header->hIcon = icon;
    header->pszCaption = caption;
    header->nPages = 1;
    header->nStartPage = 0;
    header->ppsp = (LPCPROPSHEETPAGEA)pages;
    header->pfnCallback = ScrPropSheetCallback;
}

static int RunSheet(HWND host, PROPSHEETHEADERA *header)
{
    int (*execute)(HWND, PROPSHEETHEADERA *) = CurrentModeOps.ExecuteUserDialog;
    if (!execute)
        execute = ExecuteUserDialog;
    DebugOut("Lullex: DoConfigDialog: about to ExecuteUserDialog");
    int result = execute(host, header);
    DebugOut("Lullex: DoConfigDialog: completed ExecuteUserDialog... cleaning up");
    return result;
}

// The whole configuration runs inside the host's WM_INITDIALOG; the host ends
// before it could ever be shown.
static void RunConfiguration(HWND host, ConfigHostParams *params)
{
    SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)params);
    SetWindowLongPtrA(host, DWLP_USER, 0);

    char caption[100] = "";
    LoadClientString(CaptionString, caption, sizeof caption);
    HICON largeIcon = LoadSheetIcon(0);
    if (largeIcon)
        SendMessageA(host, WM_SETICON, ICON_BIG, (LPARAM)largeIcon);
    HICON smallIcon = LoadSheetIcon(16);

    // The General page holds an up-down control.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);

    BYTE *pages = (BYTE *)LocalAlloc(LPTR, PageCapacity * PageRecordSize);
    GeneralDialog *settings = new (std::nothrow) GeneralDialog;
    int result = -1;
    if (pages) {
        PROPSHEETHEADERA header;
        FillHeader(&header, host, smallIcon ? smallIcon : largeIcon, caption, pages);
        FillPage(PageRecord(&header, 0), FrameworkModule, GeneralPageDialog, GeneralDlgProc, (LPARAM)settings);
        result = RunSheet(host, &header);
    }

    delete settings;
    if (pages)
        LocalFree(pages);
    if (smallIcon)
        DestroyIcon(smallIcon);
    if (largeIcon)
        DestroyIcon(largeIcon);

    HWND owner = GetParent(host);
    if (owner && IsWindow(owner))
        SetForegroundWindow(owner);
    if (params)
        params->result = result;
    EndDialog(host, result);
}

static void RelaySettingsChange(HWND host, const SettingsChangeNotice *notice)
{
    if (!notice)
        return;
    bool toOwner = (notice->code & SCRNOTIFY_TOOWNER) != 0;
    bool toPreviews = (notice->code & SCRNOTIFY_TOPREVIEWS) != 0;
    if (!toOwner && !toPreviews)
        toOwner = toPreviews = true;

    const ConfigHostParams *params = (const ConfigHostParams *)GetWindowLongPtrA(host, GWLP_USERDATA);
    if (!params || params->mode == 0)
        toOwner = false;

    HWND owner = GetParent(host);
    if (toOwner && owner)
        SendMessageA(owner, SCRM_SETTINGSCHANGED, (WPARAM)notice->code, (LPARAM)notice->settings);
    if (toPreviews && !CurrentPrefs.notifyHook)
        ForwardToPreviews(notice->sheet, (SettingsChangeNotice *)notice);
}

INT_PTR CALLBACK ConfigHostDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:        RunConfiguration(hwnd, (ConfigHostParams *)lParam); return TRUE;
    case SCRM_SETTINGSCHANGED: RelaySettingsChange(hwnd, (const SettingsChangeNotice *)lParam); return TRUE;
    }
    return FALSE;
}

// The sheet leaves out a page whose dialog it cannot find and says nothing, so
// a saver that gave a dialog procedure without dialog 2003 hears it here.
static void ReportMissingClientPage()
{
    if (FindResourceA(ClientInstance, MAKEINTRESOURCEA(ClientPageDialog), RT_DIALOG))
        return;
    char line[120];
    snprintf(line, sizeof line,
             "Lullex: ExecuteUserDialog: no dialog 2003 for the saver's page, FindResourceA error %lu", GetLastError());
    DebugOut(line);
}

int ExecuteUserDialog(HWND, PROPSHEETHEADERA *header)
{
    if (ClientDialogProc) {
        ReportMissingClientPage();
        FillPage(PageRecord(header, 1), ClientInstance, ClientPageDialog, ClientPageDlgProc, 0);
        header->nPages = 2;
        header->nStartPage = 1;
    }
    return (int)PropertySheetA(header);
}

static void HideAndDisable(HWND page, int id)
{
    HWND control = GetDlgItem(page, id);
    if (!control)
        return;
    ShowWindow(control, SW_HIDE);
    EnableWindow(control, FALSE);
}

INT_PTR CALLBACK ClientPageDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        HideAndDisable(hwnd, IDCANCEL);
        HideAndDisable(hwnd, IDOK);
    }
    return ClientDialogProc ? ClientDialogProc(hwnd, msg, wParam, lParam) : FALSE;
}
