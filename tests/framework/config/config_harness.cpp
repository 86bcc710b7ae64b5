#include "framework/config/config_harness.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <gtest/gtest.h>

#include "framework/config/config_host.h"
#include "framework/runtime/password.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"
#include "framework/startup/runners.h"

static const char SettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

// ---- Registry ----------------------------------------------------------------

void DeleteSettingsKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
}

bool SettingsKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static HKEY CreateSettingsKey()
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    return key;
}

void StoreDword(const char *name, DWORD value)
{
    HKEY key = CreateSettingsKey();
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
}

void StoreText(const char *name, const char *text)
{
    HKEY key = CreateSettingsKey();
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1);
    RegCloseKey(key);
}

bool ReadDword(const char *name, DWORD *value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *value;
    LONG status = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)value, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string ReadText(const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<absent>";
    char text[64] = "";
    DWORD size = sizeof text - 1, type = REG_NONE;
    LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<absent>";
    // The four bytes of some numbers read as a text: 12342 is "60".
    return type == REG_SZ ? std::string(text) : "<type " + std::to_string(type) + ">";
}

// ---- Framework ---------------------------------------------------------------

static std::vector<BoxSeen> boxes;
static std::vector<Received> received;

// Table-driven cases share one process: each case starts from the defaults.
void PrepareFramework(HINSTANCE client)
{
    ScrEnsureInit();
    DefaultsApplied = false;
    InitDefaultPrefs();
    boxes.clear();
    received.clear();
    ClientDialogProc = NULL;
    ClientHasAboutBox = false;
    ClientInstance = client ? client : GetModuleHandleA(NULL);
    CurrentModeOps.createPreviewWindow = CreateRunPreviewWindow;
    CurrentModeOps.createSaverWindow = CreateRunSaverWindow;
    CurrentModeOps.ExecuteUserDialog = ExecuteUserDialog;
    CurrentModeOps.showAbout = ShowAboutBox;
    CurrentModeOps.changePassword = DoChangePwDialog;
}

void ChangePrefs(const std::function<void(ScrPrefs &)> &edit)
{
    ScrPrefs *prefs = ScrGetPrefs();
    ASSERT_NE(prefs, nullptr);
    edit(*prefs);
    ScrSetPrefs(prefs);
}

// ---- Running the sheet ---------------------------------------------------------

struct Script {
    std::vector<SheetStep> steps;
    size_t next = 0;
    int ticksOnStep = 0;
    bool busy = false;
    bool closed = false;
    UINT_PTR timer = 0;
    SheetWindows windows;
};
static Script *script = nullptr;
static const int TickMs = 30;
static const int TicksPerStep = 10000 / TickMs;

struct FindContext {
    const char *caption;
    HWND found;
};

static bool HasClass(HWND window, const char *name)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return strcmp(className, name) == 0;
}

static BOOL CALLBACK MatchSheet(HWND window, LPARAM lParam)
{
    FindContext *context = (FindContext *)lParam;
    if (!HasClass(window, "#32770") || !IsWindowVisible(window) || !PropSheet_GetTabControl(window))
        return TRUE;
    char text[128] = "";
    GetWindowTextA(window, text, sizeof text);
    if (context->caption && strcmp(text, context->caption) != 0)
        return TRUE;
    context->found = window;
    return FALSE;
}

HWND FindSheet(const char *caption)
{
    FindContext context = {caption, NULL};
    EnumThreadWindows(GetCurrentThreadId(), MatchSheet, (LPARAM)&context);
    return context.found;
}

static BOOL CALLBACK CancelDialog(HWND window, LPARAM)
{
    if (HasClass(window, "#32770") && IsWindowVisible(window))
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

static void Abandon(const char *why)
{
    ADD_FAILURE() << why << " (step " << script->next << ")";
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
    if (script->windows.sheet && IsWindow(script->windows.sheet))
        PropSheet_PressButton(script->windows.sheet, PSBTN_CANCEL);
    script->closed = true;
    script->next = script->steps.size();
}

static void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!script || script->busy)
        return;
    script->busy = true;
    SheetWindows &windows = script->windows;
    if (!windows.sheet) {
        windows.sheet = FindSheet();
        if (windows.sheet)
            windows.host = GetParent(windows.sheet);
    }
    if (windows.sheet) {
        windows.general = PropSheet_IndexToHwnd(windows.sheet, 0);
        if (script->next < script->steps.size()) {
            if (script->steps[script->next](windows)) {
                ++script->next;
                script->ticksOnStep = 0;
            } else if (++script->ticksOnStep > TicksPerStep) {
                Abandon("a step of the script never finished");
            }
        }
        if (script->next >= script->steps.size()) {
            if (!script->closed)
                PressCancel(windows);
            KillTimer(NULL, script->timer);
            script->timer = 0;
        }
    } else if (++script->ticksOnStep > TicksPerStep) {
        Abandon("the sheet never appeared");
        KillTimer(NULL, script->timer);
        script->timer = 0;
    }
    script->busy = false;
}

int RunScripted(const std::function<int()> &start, const std::vector<SheetStep> &steps)
{
    Script run;
    run.steps = steps;
    script = &run;
    run.timer = SetTimer(NULL, 0, TickMs, ScriptTick);
    int result = start();
    if (run.timer)
        KillTimer(NULL, run.timer);
    EXPECT_EQ(run.next, steps.size()) << "the sheet closed before the script had run";
    script = nullptr;
    return result;
}

int RunConfigSteps(HWND owner, LONG mode, const std::vector<SheetStep> &steps)
{
    return RunScripted([owner, mode] { return DoConfigDialog(owner, mode); }, steps);
}

int RunConfigDialog(HWND owner, LONG mode, const std::function<void(SheetWindows &)> &actions)
{
    return RunConfigSteps(owner, mode, {[actions](SheetWindows &w) { actions(w); return true; }});
}

void PressOk(const SheetWindows &windows)
{
    if (script)
        script->closed = true;
    PropSheet_PressButton(windows.sheet, PSBTN_OK);
}

void PressCancel(const SheetWindows &windows)
{
    if (script)
        script->closed = true;
    PropSheet_PressButton(windows.sheet, PSBTN_CANCEL);
}

// ---- Controls -------------------------------------------------------------------

void ChooseListRow(HWND page, int list, int row)
{
    HWND control = GetDlgItem(page, list);
    SendMessageA(control, CB_SETCURSEL, (WPARAM)row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), (LPARAM)control);
}

void TypeText(HWND page, int edit, const char *text)
{
    HWND control = GetDlgItem(page, edit);
    SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, WM_CHAR, VK_BACK, 0);
    for (const char *c = text; *c; ++c)
        SendMessageA(control, WM_CHAR, (WPARAM)(BYTE)*c, 0);
}

void ClickCheckBox(HWND page, int box)
{
    SendDlgItemMessageA(page, box, BM_CLICK, 0, 0);
}

void ChooseCorner(HWND page, int corner, int choice)
{
    SendDlgItemMessageA(page, 3640, WM_COMMAND, 0x1000 + 0x100 * corner + choice, 0);
}

std::string ControlText(HWND page, int id)
{
    char text[512] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

std::string SelectedRowText(HWND page, int list)
{
    LRESULT row = SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0);
    if (row == CB_ERR)
        return "<none>";
    char text[256] = "";
    SendDlgItemMessageA(page, list, CB_GETLBTEXT, (WPARAM)row, (LPARAM)text);
    return text;
}

std::vector<std::string> ListRows(HWND page, int list)
{
    std::vector<std::string> rows;
    LRESULT count = SendDlgItemMessageA(page, list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        SendDlgItemMessageA(page, list, CB_GETLBTEXT, (WPARAM)i, (LPARAM)text);
        rows.push_back(text);
    }
    return rows;
}

bool IsShown(HWND page, int id)
{
    return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsEnabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

// ---- Message boxes -----------------------------------------------------------------

static HHOOK boxHook = NULL;

std::vector<BoxSeen> &BoxesSeen() { return boxes; }

// A message box is a dialog with the static text control 0xFFFF (so is any
// dialog with unnumbered texts, such as an About box).
static LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && HasClass(window, "#32770") && GetDlgItem(window, 0xFFFF)) {
        BoxSeen box;
        char text[1024] = "";
        GetWindowTextA(window, text, sizeof text);
        box.caption = text;
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        box.text = text;
        boxes.push_back(box);
        PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDOK) ? IDOK : IDCANCEL, 0);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

void WatchMessageBoxes()
{
    if (!boxHook)
        boxHook = SetWindowsHookExA(WH_CBT, AnswerBoxes, NULL, GetCurrentThreadId());
}

void StopWatchingMessageBoxes()
{
    if (boxHook)
        UnhookWindowsHookEx(boxHook);
    boxHook = NULL;
}

// ---- Recorders ---------------------------------------------------------------------

std::vector<Received> &ReceivedMessages() { return received; }

static LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_SETTINGSCHANGED) {
        Received r = {hwnd, msg, wParam, {}, ""};
        if (lParam)
            r.settings = *(const GeneralSettings *)lParam;
        received.push_back(r);
        return 1;
    }
    if (msg == WM_WININICHANGE) {
        Received r = {hwnd, msg, wParam, {}, lParam ? (const char *)lParam : "<null>"};
        received.push_back(r);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateRecorder(HWND parent, const char *title)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ConfigTestRecorder";
        registered = RegisterClassA(&wc) != 0;
    }
    DWORD style = parent ? WS_CHILD : WS_OVERLAPPED;
    return CreateWindowExA(0, "ConfigTestRecorder", title, style, 0, 0, 40, 30, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

int CountReceived(HWND window, UINT msg)
{
    int count = 0;
    for (const Received &r : received)
        count += r.window == window && r.msg == msg;
    return count;
}

HWND PlacePreviewMonitor(HWND page, HWND *preview)
{
    HWND monitor = CreateWindowExA(0, "LullexMonitorClass", "", WS_CHILD | MS_PREVIEW, 0, 0, 184, 170,
                                   page, (HMENU)4000, GetModuleHandleA(NULL), NULL);
    HWND inner = GetWindow(monitor, GW_CHILD);
    *preview = inner ? CreateRecorder(inner, "preview") : NULL;
    return monitor;
}

// ---- Agent stand-ins ---------------------------------------------------------------

static char agentFolder[MAX_PATH] = "";
static const char *const AgentVariables[] = {"DETECT", "DETECT_CALLS", "CHANGED_CALLS", "SEEN_CORNERS"};

static void CopyAgent(const char *folder, const char *file)
{
    if (!folder)
        return;
    char from[MAX_PATH], to[MAX_PATH];
    snprintf(from, sizeof from, "standins\\%s\\%s", folder, file);
    snprintf(to, sizeof to, "%s\\%s", agentFolder, file);
    ASSERT_TRUE(CopyFileA(from, to, FALSE)) << "missing stand-in " << from;
}

void UseAgents(const char *sageFolder, const char *scrhotsFolder)
{
    char name[64];
    snprintf(name, sizeof name, "agents-%lu", GetCurrentProcessId());
    GetFullPathNameA(name, sizeof agentFolder, agentFolder, NULL);
    CreateDirectoryA(agentFolder, NULL);
    CopyAgent(sageFolder, "Sage.DLL");
    CopyAgent(scrhotsFolder, "ScrHots.dll");
    SetDllDirectoryA(agentFolder);
}

void RemoveAgents()
{
    for (const char *prefix : {"NIMBRA_SAGE", "NIMBRA_SCRHOTS"}) {
        for (const char *what : AgentVariables) {
            char name[64];
            snprintf(name, sizeof name, "%s_%s", prefix, what);
            SetEnvironmentVariableA(name, NULL);
        }
    }
    if (!agentFolder[0])
        return;
    SetDllDirectoryA(NULL);
    for (const char *file : {"Sage.DLL", "ScrHots.dll"}) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", agentFolder, file);
        DeleteFileA(path);
    }
    RemoveDirectoryA(agentFolder);
    agentFolder[0] = '\0';
}

void SetAgentAnswer(const char *prefix, int answer)
{
    char name[64], value[16];
    snprintf(name, sizeof name, "%s_DETECT", prefix);
    snprintf(value, sizeof value, "%d", answer);
    SetEnvironmentVariableA(name, value);
}

std::string AgentText(const char *prefix, const char *what)
{
    char name[64], value[64] = "";
    snprintf(name, sizeof name, "%s_%s", prefix, what);
    if (!GetEnvironmentVariableA(name, value, sizeof value))
        return "<unset>";
    return value;
}

int AgentCount(const char *prefix, const char *what)
{
    std::string text = AgentText(prefix, what);
    return text == "<unset>" ? 0 : atoi(text.c_str());
}

// ---- Screenshots -------------------------------------------------------------------

static bool WriteBitmapFile(const char *path, const BITMAPINFOHEADER &info, const void *bits, DWORD size)
{
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    FILE *out = fopen(path, "wb");
    if (!out)
        return false;
    bool ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
              fwrite(bits, size, 1, out) == 1;
    fclose(out);
    return ok;
}

// Copies the window's area of the screen, so what is saved is what a user sees.
bool SaveWindowScreenshot(HWND window, const char *name)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(400);
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, (BITMAPINFO *)&info, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        CreateDirectoryA("screenshots", NULL);
        char path[MAX_PATH];
        snprintf(path, sizeof path, "screenshots\\%s.bmp", name);
        DWORD size = (DWORD)(((width * 3 + 3) & ~3) * height);
        ok = WriteBitmapFile(path, info, bits, size);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return ok;
}
