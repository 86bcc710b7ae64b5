// A client saver for the tests. The command line is the framework's (/s, /p N,
// /a, ...); everything else comes from the environment:
//   CLIENT_SAVER_LOG     file that receives one line per observation (required)
//   CLIENT_SAVER_ENTRY   run | hooks | hosted                (default run)
//   CLIENT_SAVER_CREATE  hooks: none | own | fail             (default own)
//                        hosted: comma list of the creation messages the host
//                        answers by creating the window itself: config, sys,
//                        preview, saver, window               (default none)
//   CLIENT_SAVER_ANSWER  value of the about/sheet/password hooks, and whether
//                        the host answers SCRM_ABOUT/..PASSWORD (non-zero)
//   CLIENT_SAVER_TIMER   period answered to SCRM_TIMER, for CLIENT_SAVER_TICKS
//                        ticks; then -1                       (run only)
//   CLIENT_SAVER_PROBE   ms after start: log the saver windows, the
//                        screen-saver-running flag, nested entry results;
//                        then close the saver window           (default 300)
//   CLIENT_SAVER_NOCLOSE 1: the probe does not close the window
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "framework/lullex.h"

static char logPath[MAX_PATH];
static char entry[16] = "run";
static char createMode[64] = "";
static int answer = HOOK_DEFAULT;
static int timerPeriod = -1;
static int timerTicks = 0;
static int ticksSeen = 0;
static DWORD startTick;
static HINSTANCE instance;

static void Log(const char *format, ...)
{
    FILE *file = fopen(logPath, "a");
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
}

static bool Env(const char *name, char *value, DWORD capacity)
{
    DWORD length = GetEnvironmentVariableA(name, value, capacity);
    return length > 0 && length < capacity;
}

static int EnvInt(const char *name, int fallback)
{
    char value[32];
    return Env(name, value, sizeof(value)) ? atoi(value) : fallback;
}

static bool Answers(const char *what)
{
    char list[80];
    snprintf(list, sizeof(list), ",%s,", createMode);
    char item[24];
    snprintf(item, sizeof(item), ",%s,", what);
    return strstr(list, item) != nullptr;
}

static void LogCreateStruct(const char *who, LONG kind, const CREATESTRUCTA *cs)
{
    const SaverCreateParams *params = static_cast<const SaverCreateParams *>(cs->lpCreateParams);
    Log("%s kind=%ld params=%ld,%ld class=%s title=%s style=0x%08lX exstyle=0x%08lX pos=%d,%d size=%dx%d "
        "parent=%d menu=%d instance=%d",
        who, kind, params ? params->reserved : -1L, params ? params->kind : -1L, cs->lpszClass,
        cs->lpszName, static_cast<unsigned long>(cs->style), cs->dwExStyle, cs->x, cs->y, cs->cx, cs->cy,
        cs->hwndParent != nullptr, cs->hMenu != nullptr, cs->hInstance == instance);
}

static HWND CreateFrom(const CREATESTRUCTA *cs)
{
    return CreateWindowExA(cs->dwExStyle, cs->lpszClass, cs->lpszName, static_cast<DWORD>(cs->style), cs->x,
                           cs->y, cs->cx, cs->cy, cs->hwndParent, cs->hMenu, cs->hInstance, cs->lpCreateParams);
}

// ---- ScrRun: the client's own saver procedure ----

static LRESULT CALLBACK ClientSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        const SaverCreateParams *params = static_cast<const SaverCreateParams *>(cs->lpCreateParams);
        Log("wm_create kind=%ld", params ? params->kind : -1L);
        break;
    }
    case SCRM_TIMER:
        ++ticksSeen;
        Log("tick %d at %lu", ticksSeen, GetTickCount() - startTick);
        if (timerPeriod >= 0 && ticksSeen < timerTicks)
            return timerPeriod;
        return -1;
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

// ---- ScrRunWithHooks ----

static HWND CALLBACK CreateHookProc(LONG kind, CREATESTRUCTA *create)
{
    LogCreateStruct("createhook", kind, create);
    if (strcmp(createMode, "fail") == 0) {
        free(create->lpCreateParams);
        return nullptr;
    }
    return CreateFrom(create);
}

static int CALLBACK SheetHookProc(HWND, PROPSHEETHEADERA *, LONG activeConfig)
{
    Log("sheethook active=%ld", activeConfig);
    return answer;
}

static int CALLBACK AboutHookProc(HWND)
{
    Log("abouthook");
    return answer;
}

static int CALLBACK PasswordHookProc(HWND owner)
{
    Log("passwordhook owner=%d", owner != nullptr);
    return answer;
}

// ---- ScrRunHosted ----

static const char *HostMessageName(UINT msg)
{
    switch (msg) {
    case SCRM_CREATECONFIGPREVIEW: return "config";
    case SCRM_CREATESYSPREVIEW:    return "sys";
    case SCRM_CREATEPREVIEW:       return "preview";
    case SCRM_CREATESAVER:         return "saver";
    case SCRM_CREATEWINDOW:        return "window";
    case SCRM_PROPERTYSHEET:       return "sheet";
    case SCRM_ABOUT:               return "about";
    case SCRM_CHANGEPASSWORD:      return "password";
    }
    return nullptr;
}

static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const char *name = HostMessageName(msg);
    if (!name)
        return DefClientProc(hwnd, msg, wParam, lParam);
    if (msg >= SCRM_CREATECONFIGPREVIEW && msg <= SCRM_CREATEWINDOW) {
        char who[32];
        snprintf(who, sizeof(who), "host %s", name);
        LogCreateStruct(who, static_cast<LONG>(wParam), reinterpret_cast<CREATESTRUCTA *>(lParam));
        if (Answers(name))
            return reinterpret_cast<LRESULT>(CreateFrom(reinterpret_cast<CREATESTRUCTA *>(lParam)));
        return DefClientProc(hwnd, msg, wParam, lParam);
    }
    Log("host %s owner=%d", name, wParam != 0);
    return answer != HOOK_DEFAULT ? answer : DefClientProc(hwnd, msg, wParam, lParam);
}

static HWND CreateHostWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.lpszClassName = "ClientSaverHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "ClientSaverHost", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

// ---- The probe, run from inside the framework's message loop ----

static BOOL CALLBACK DescribeWindow(HWND hwnd, LPARAM)
{
    char cls[64] = "", title[64] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (strcmp(cls, "OvScreenSaverClass") != 0 && strcmp(cls, "DummyScreenSaverClass") != 0)
        return TRUE;
    GetWindowTextA(hwnd, title, sizeof(title));
    RECT rect;
    GetWindowRect(hwnd, &rect);
    Log("window class=%s title=%s style=0x%08lX exstyle=0x%08lX rect=%ld,%ld,%ldx%ld child=%d", cls, title,
        static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_EXSTYLE)), rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, GetParent(hwnd) != nullptr);
    return TRUE;
}

// Every saver or preview window this thread creates, whoever creates it.
static HWND saverWindow;

static LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA *create = reinterpret_cast<const CBT_CREATEWNDA *>(lParam);
        const char *cls = create->lpcs->lpszClass;
        if (HIWORD(cls) && (strcmp(cls, "OvScreenSaverClass") == 0 || strcmp(cls, "DummyScreenSaverClass") == 0))
            saverWindow = reinterpret_cast<HWND>(wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static void CALLBACK Probe(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EnumThreadWindows(GetCurrentThreadId(), DescribeWindow, 0);
    HWND saver = IsWindow(saverWindow) ? saverWindow : nullptr;
    if (saver && GetParent(saver))
        DescribeWindow(saver, 0);
    BOOL running = -1;
    if (SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        Log("spi during %d", running);
    else
        Log("spi during unsupported %lu", GetLastError());
    Log("nested ScrRun %d", ScrRun(instance, ClientSaverProc, nullptr, nullptr, 0));
    Log("nested ScrRunWithHooks %d", ScrRunWithHooks(instance, nullptr, nullptr, nullptr, nullptr));
    Log("nested ScrRunHosted %d", ScrRunHosted(instance, nullptr));
    if (EnvInt("CLIENT_SAVER_NOCLOSE", 0) || !saver)
        return;
    Log("closing");
    PostMessageA(saver, WM_CLOSE, 0, 0);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    instance = hInstance;
    startTick = GetTickCount();
    if (!Env("CLIENT_SAVER_LOG", logPath, sizeof(logPath)))
        return 99;
    Env("CLIENT_SAVER_ENTRY", entry, sizeof(entry));
    Env("CLIENT_SAVER_CREATE", createMode, sizeof(createMode));
    answer = EnvInt("CLIENT_SAVER_ANSWER", HOOK_DEFAULT);
    timerPeriod = EnvInt("CLIENT_SAVER_TIMER", -1);
    timerTicks = EnvInt("CLIENT_SAVER_TICKS", 0);
    SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    SetTimer(nullptr, 0, static_cast<UINT>(EnvInt("CLIENT_SAVER_PROBE", 300)), Probe);

    int result;
    if (strcmp(entry, "hooks") == 0) {
        bool noCreateHook = strcmp(createMode, "none") == 0;
        result = ScrRunWithHooks(hInstance, noCreateHook ? nullptr : CreateHookProc, SheetHookProc, AboutHookProc,
                                 PasswordHookProc);
    } else if (strcmp(entry, "hosted") == 0) {
        result = ScrRunHosted(hInstance, CreateHostWindow());
    } else {
        result = ScrRun(hInstance, ClientSaverProc, nullptr, nullptr, 0);
    }
    BOOL running = -1;
    if (SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        Log("spi after %d", running);
    Log("result %d", result);
    return result;
}
