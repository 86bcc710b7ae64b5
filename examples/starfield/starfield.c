/*
 * Starfield: an example screen saver on Lullex.
 *
 * Stars drift towards the viewer. Each saver window (the full screen, the /p
 * preview, the preview in the settings sheet) keeps its own Starfield record and
 * draws one step of the flight on each timer tick; the framework supplies the
 * command line, the closing rules, passwords and the settings sheet. The saver's
 * own page (dialog 2003) stores the number of stars and their speed under its
 * own registry key; dialog 2004 is its About box.
 */
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <stdio.h>
#include <lullex.h>
#include "resource.h"

#define MAX_STARS     600
#define FAR_PLANE     1000.0f
#define FULL_PERIOD   30     /* ms between ticks on the full screen */
#define PREVIEW_PERIOD 60    /* previews are small: half the rate is plenty */
#define NOTICE_MS     2500

static const char SettingsKey[] = "Software\\Lullex Examples\\Starfield";

typedef struct Star {
    float x, y, z;
} Star;

/* Everything one saver window needs; allocated at WM_CREATE, freed at WM_DESTROY. */
typedef struct Starfield {
    LONG kind;             /* SAVERKIND_FULLSCREEN, _MONITORPREVIEW or _SYSTEMPREVIEW */
    int starCount;         /* from the settings, fewer in a preview */
    int speed;             /* 1 (slow) to 10 (fast) */
    Star stars[MAX_STARS];
    HDC backDC;            /* the next picture is drawn here, then copied at once */
    HBITMAP backBitmap, oldBitmap;
    int width, height;
    char notice[80];       /* a line shown for a moment after a settings change */
    DWORD noticeUntil;
} Starfield;

/* ---- Settings ------------------------------------------------------------- */

static DWORD ReadSetting(HKEY key, const char *name, DWORD fallback, DWORD low, DWORD high)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (!key || RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || value < low || value > high)
        return fallback;
    return value;
}

static void LoadSettings(int *stars, int *speed)
{
    HKEY key = NULL;
    RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key);
    *stars = (int)ReadSetting(key, "Stars", 300, 50, MAX_STARS);
    *speed = (int)ReadSetting(key, "Speed", 5, 1, 10);
    if (key)
        RegCloseKey(key);
}

static void SaveSettings(int stars, int speed)
{
    HKEY key;
    DWORD value;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    value = (DWORD)stars;
    RegSetValueExA(key, "Stars", 0, REG_DWORD, (const BYTE *)&value, sizeof(value));
    value = (DWORD)speed;
    RegSetValueExA(key, "Speed", 0, REG_DWORD, (const BYTE *)&value, sizeof(value));
    RegCloseKey(key);
}

/* ---- The flight ------------------------------------------------------------ */

static float Spread(void)
{
    return (float)(rand() % 2001 - 1000);
}

static void PlaceStar(Star *star, float z)
{
    star->x = Spread();
    star->y = Spread();
    star->z = z;
}

static void ApplySettings(Starfield *field)
{
    int stars, speed;
    LoadSettings(&stars, &speed);
    field->starCount = field->kind == SAVERKIND_FULLSCREEN ? stars : stars / 3;
    field->speed = speed;
}

static void SizeBackBuffer(HWND hwnd, Starfield *field)
{
    RECT area;
    HDC dc = GetDC(hwnd);
    GetClientRect(hwnd, &area);
    field->width = area.right;
    field->height = area.bottom;
    field->backDC = CreateCompatibleDC(dc);
    field->backBitmap = CreateCompatibleBitmap(dc, field->width, field->height);
    field->oldBitmap = (HBITMAP)SelectObject(field->backDC, field->backBitmap);
    SelectObject(field->backDC, GetStockObject(DC_BRUSH));
    ReleaseDC(hwnd, dc);
}

static void CreateStarfield(HWND hwnd, const CREATESTRUCTA *create)
{
    /* The creation record is the framework's; read it before passing WM_CREATE on. */
    const SaverCreateParams *params = (const SaverCreateParams *)create->lpCreateParams;
    Starfield *field = (Starfield *)calloc(1, sizeof(Starfield));
    int i;
    if (!field)
        return;
    field->kind = params ? params->kind : SAVERKIND_FULLSCREEN;
    ApplySettings(field);
    for (i = 0; i < MAX_STARS; i++)
        PlaceStar(&field->stars[i], (float)(rand() % 1000 + 1));
    SizeBackBuffer(hwnd, field);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)field);
}

static void DestroyStarfield(HWND hwnd)
{
    Starfield *field = (Starfield *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (!field)
        return;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    SelectObject(field->backDC, field->oldBitmap);
    DeleteObject(field->backBitmap);
    DeleteDC(field->backDC);
    free(field);
}

static void DrawStar(Starfield *field, const Star *star)
{
    float scale = (float)field->width / 2.0f / star->z;
    int x = field->width / 2 + (int)(star->x * scale);
    int y = field->height / 2 + (int)(star->y * scale);
    int bright = 255 - (int)(star->z * 200.0f / FAR_PLANE);
    int size = star->z < FAR_PLANE / 5 ? 2 : 1;
    if (x < 0 || y < 0 || x >= field->width || y >= field->height)
        return;
    /* The stock DC brush takes any colour without creating a brush per star. */
    SetDCBrushColor(field->backDC, RGB(bright, bright, 255));
    PatBlt(field->backDC, x, y, size, size, PATCOPY);
}

static void DrawNotice(Starfield *field)
{
    RECT line;
    if ((LONG)(field->noticeUntil - GetTickCount()) <= 0)
        return;
    SetRect(&line, 0, field->height - 40, field->width, field->height - 16);
    SetBkMode(field->backDC, TRANSPARENT);
    SetTextColor(field->backDC, RGB(255, 220, 120));
    DrawTextA(field->backDC, field->notice, -1, &line, DT_CENTER | DT_SINGLELINE);
}

/* One step of the flight; returns the time to the next tick. */
static LRESULT StepStarfield(HWND hwnd)
{
    Starfield *field = (Starfield *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    RECT area;
    HDC dc;
    int i;
    if (!field)
        return -1;   /* nothing to draw with: stop the timer */
    SetRect(&area, 0, 0, field->width, field->height);
    FillRect(field->backDC, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
    for (i = 0; i < field->starCount; i++) {
        Star *star = &field->stars[i];
        star->z -= (float)field->speed * 2.0f;
        if (star->z < 1.0f)
            PlaceStar(star, FAR_PLANE);
        DrawStar(field, star);
    }
    DrawNotice(field);
    dc = GetDC(hwnd);
    BitBlt(dc, 0, 0, field->width, field->height, field->backDC, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return field->kind == SAVERKIND_FULLSCREEN ? FULL_PERIOD : PREVIEW_PERIOD;
}

static void PaintStarfield(HWND hwnd)
{
    Starfield *field = (Starfield *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (field)
        BitBlt(dc, 0, 0, field->width, field->height, field->backDC, 0, 0, SRCCOPY);
    EndPaint(hwnd, &paint);
}

/* The General page changed while the saver runs (active configuration). */
static void ShowSensitivity(HWND hwnd, WPARAM code, const GeneralSettings *settings)
{
    Starfield *field = (Starfield *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (!field || !settings || (code & SCRNOTIFY_RECORDMASK) != SCRNOTIFY_GENERALSETTINGS)
        return;
    snprintf(field->notice, sizeof(field->notice), "Mouse sensitivity: %ld pixels", settings->mouseThreshold);
    field->noticeUntil = GetTickCount() + NOTICE_MS;
}

/* Active configuration: the sheet runs over the saver, then the saver takes up
   what its own page stored. */
static LRESULT ConfigureWhileRunning(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefSaverProc(hwnd, SCRM_ACTIVECONFIG, wParam, lParam);
    Starfield *field = (Starfield *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (field)
        ApplySettings(field);
    return result;
}

static LRESULT CALLBACK StarfieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:            CreateStarfield(hwnd, (const CREATESTRUCTA *)lParam); break;
    case WM_DESTROY:           DestroyStarfield(hwnd); break;
    case WM_PAINT:             PaintStarfield(hwnd); return 0;
    case SCRM_TIMER:           return StepStarfield(hwnd);
    case SCRM_SETTINGSCHANGED: ShowSensitivity(hwnd, wParam, (const GeneralSettings *)lParam); break;
    case SCRM_ACTIVECONFIG:    return ConfigureWhileRunning(hwnd, wParam, lParam);
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

/* ---- The saver's own settings page (dialog 2003) ---------------------------- */

static void FillSettingsPage(HWND page)
{
    int stars, speed;
    LoadSettings(&stars, &speed);
    SendDlgItemMessageA(page, IDC_STARS, TBM_SETRANGE, FALSE, MAKELPARAM(1, MAX_STARS / 50));
    SendDlgItemMessageA(page, IDC_STARS, TBM_SETPOS, TRUE, stars / 50);
    SendDlgItemMessageA(page, IDC_SPEED, TBM_SETRANGE, FALSE, MAKELPARAM(1, 10));
    SendDlgItemMessageA(page, IDC_SPEED, TBM_SETPOS, TRUE, speed);
    CreatePreview(GetDlgItem(page, IDC_PREVIEW));
}

static BOOL ApplySettingsPage(HWND page)
{
    int stars = (int)SendDlgItemMessageA(page, IDC_STARS, TBM_GETPOS, 0, 0) * 50;
    int speed = (int)SendDlgItemMessageA(page, IDC_SPEED, TBM_GETPOS, 0, 0);
    SaveSettings(stars, speed);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

static INT_PTR CALLBACK SettingsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    switch (msg) {
    case WM_INITDIALOG: FillSettingsPage(page); return TRUE;
    case WM_HSCROLL:    PropSheet_Changed(GetParent(page), page); return TRUE;
    case WM_NOTIFY:     return ((const NMHDR *)lParam)->code == PSN_APPLY ? ApplySettingsPage(page) : FALSE;
    }
    return FALSE;
}

/* ---- Start ------------------------------------------------------------------ */

/* Runs before the framework starts the mode: the moment to set preferences. */
static void CALLBACK PrepareStarfield(HINSTANCE instance)
{
    ScrPrefs *prefs = ScrGetPrefs();
    (void)instance;
    if (!prefs)
        return;
    prefs->supportsActiveConfig = 1;   /* Shift, Ctrl or the right button open the sheet */
    prefs->supportsMuteSound = 0;      /* it makes no sound */
    ScrSetPrefs(prefs);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    (void)previous;
    (void)commandLine;
    (void)show;
    InitCommonControlsEx(&controls);
    srand(GetTickCount());
    return ScrRun(instance, StarfieldProc, SettingsPageProc, PrepareStarfield, 0);
}
