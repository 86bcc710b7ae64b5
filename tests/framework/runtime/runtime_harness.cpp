#include "framework/runtime/runtime_harness.h"
#include "support/wait_limit.h"

#include <stdlib.h>
#include <tlhelp32.h>

#include "framework/runtime/saver_runtime.h"
#include "framework/runtime/timer_list.h"
#include "framework/services/services.h"
#include "support/fresh_framework.h"
#include "support/framework_seams.h"

ClientScript Client;

const char *const DesktopKey = "Control Panel\\Desktop";
const char *const SaverKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

static const char SaverClass[] = "RuntimeTestSaverClass";

LRESULT CALLBACK TestClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        const SaverCreateParams *params = (const SaverCreateParams *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        Client.createKind = params != NULL ? params->kind : -1;
        break;
    }
    case WM_CLOSE:
        Client.closeMessages++;
        break;
    case SCRM_DIALOGACTIVE:
        Client.dialogActiveSent.push_back(wParam);
        break;
    case SCRM_TIMER:
        if (!Client.answerTimer)
            break;
        Client.tickTimes.push_back(GetTickCount());
        if (Client.onTick)
            Client.onTick(hwnd);
        if (Client.handlerMs > 0)
            Sleep(Client.handlerMs);
        return Client.timerPeriod;
    case SCRM_ACTIVECONFIG:
        if (!Client.answerActiveConfig)
            break;
        Client.activeConfigCalls++;
        Client.dialogActiveDuringConfig = RuntimeState.dialogActive;
        if (Client.moveCursorDuringConfig.x >= 0)
            SetCursorPos(Client.moveCursorDuringConfig.x, Client.moveCursorDuringConfig.y);
        return 1;
    case SCRM_VERIFYPW:
        Client.verifyCalls++;
        Client.dialogActiveDuringVerify = RuntimeState.dialogActive;
        if (Client.duringVerify)
            Client.duringVerify(hwnd);
        if (Client.verifyAnswer >= 0)
            return Client.verifyAnswer;
        break;
    }
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

void RegisterTestClasses()
{
    WNDCLASSA saver = {};
    saver.lpfnWndProc = TestClientProc;
    saver.hInstance = GetModuleHandleA(NULL);
    saver.lpszClassName = SaverClass;
    RegisterClassA(&saver);
    WNDCLASSA parent = {};
    parent.lpfnWndProc = DefWindowProcA;
    parent.hInstance = GetModuleHandleA(NULL);
    parent.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    parent.lpszClassName = "RuntimeTestParentClass";
    RegisterClassA(&parent);
}

static SaverCreateParams *NewCreateParams(LONG kind)
{
    SaverCreateParams *params = (SaverCreateParams *)malloc(sizeof(SaverCreateParams));
    params->reserved = 0;
    params->kind = kind;
    return params;
}

HWND CreateFullSaver()
{
    // Hidden: on a bare X server every unmap of a shown top-level window waits
    // for a window manager that is not there. Nothing here depends on the pixels.
    return CreateWindowExA(0, SaverClass, "SaverWindow", WS_POPUP, 0, 0, 400, 300,
                           NULL, NULL, GetModuleHandleA(NULL), NewCreateParams(SAVERKIND_FULLSCREEN));
}

HWND CreateParentWindow(const char *className)
{
    return CreateWindowExA(0, className, "Parent", WS_OVERLAPPEDWINDOW, 500, 300, 300, 200,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

HWND CreateChildSaver(HWND parent, LONG kind)
{
    return CreateWindowExA(0, SaverClass, "SaverPreview", WS_CHILD | WS_VISIBLE, 0, 0, 152, 112,
                           parent, NULL, GetModuleHandleA(NULL), NewCreateParams(kind));
}

static const DWORD PollInterval = 10;
static bool quitSeen = false;
static int quitCode = 0;

static void DispatchWaiting()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitSeen = true;
            quitCode = (int)msg.wParam;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    timeoutMs = WaitLimit(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        DispatchWaiting();
        if (done && done())
            return true;
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        // Many conditions are no message (a thread has ended, a count has grown):
        // look again every few milliseconds even when no message comes.
        DWORD slice = timeoutMs - spent < PollInterval ? timeoutMs - spent : PollInterval;
        MsgWaitForMultipleObjects(0, NULL, FALSE, slice, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil(nullptr, ms);
}

void DiscardPostedCloses(HWND hwnd)
{
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
    }
}

bool ClosePosted(HWND hwnd)
{
    MSG msg;
    bool posted = false;
    while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        posted = true;
    return posted;
}

bool QuitPosted(int *exitCode)
{
    MSG msg;
    if (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        quitSeen = true;
        quitCode = (int)msg.wParam;
    }
    if (quitSeen && exitCode != NULL)
        *exitCode = quitCode;
    bool seen = quitSeen;
    quitSeen = false;
    return seen;
}

void ChangePrefs(const std::function<void(ScrPrefs &)> &change)
{
    ScrPrefs *prefs = ScrGetPrefs();
    change(*prefs);
    ScrSetPrefs(prefs);
}

void StartFresh()
{
    StartWithAFreshFramework();
    quitSeen = false;
    Client = ClientScript();
    RegisterTestClasses();
    ChangePrefs([](ScrPrefs &prefs) {
        prefs.supportsActiveConfig = 0;
        prefs.debugMessages = 1;
        prefs.debugMode = 0;
        prefs.noTimers = 0;
        prefs.alwaysRequirePassword = 0;
        prefs.neverRequirePassword = 0;
        prefs.passwordBeforeActiveConfig = 1;
    });
}

std::string Plain(const std::string &text) { return text + "___________  \n\r"; }
std::string Tagged(const char *source, const std::string &text)
{
    return std::string(source) + ": " + text + "_________  \n\r";
}
std::string Full(const std::string &text) { return Tagged("full DefSaverProc", text); }
std::string Preview(const std::string &text) { return Tagged("preview DefSaverProc", text); }

ScopedValue::ScopedValue(const char *keyPath, const char *name, DWORD type, const void *data, DWORD size)
    : keyPath(keyPath), name(name), createdKey(false)
{
    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, &disposition) != ERROR_SUCCESS)
        return;
    createdKey = disposition == REG_CREATED_NEW_KEY;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

ScopedValue::ScopedValue(const char *keyPath, const char *name, DWORD value)
    : ScopedValue(keyPath, name, REG_DWORD, &value, sizeof value)
{
}

ScopedValue::~ScopedValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
    if (createdKey)
        RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
}

bool DrainTimerThreads(DWORD timeoutMs)
{
    return EndTimerThreads(WaitLimit(timeoutMs));
}

int TimerThreadCount()
{
    return ListedTimerThreadCount();
}

int ProcessThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

void UsePasswordStandIn(bool present, const char *answer)
{
    char folder[MAX_PATH];
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    char *slash = strrchr(folder, '\\');
    lstrcpyA(slash != NULL ? slash + 1 : folder, "password_cpl");
    SetDllDirectoryA(present ? folder : NULL);
    SetEnvironmentVariableA("NIMBRA_PASSWORD_ANSWER", answer);
    SetEnvironmentVariableA("NIMBRA_PASSWORD_CALLS", NULL);
    SetEnvironmentVariableA("NIMBRA_PASSWORD_OWNER", NULL);
    SetEnvironmentVariableA("NIMBRA_PASSWORD_CURSOR", NULL);
}

static long EnvironmentNumber(const char *name, int base)
{
    char text[32] = "";
    if (GetEnvironmentVariableA(name, text, sizeof text) == 0)
        return -1;
    return strtol(text, NULL, base);
}

int PasswordCalls() { long calls = EnvironmentNumber("NIMBRA_PASSWORD_CALLS", 10); return calls < 0 ? 0 : (int)calls; }
HWND PasswordOwner() { return (HWND)(LONG_PTR)EnvironmentNumber("NIMBRA_PASSWORD_OWNER", 16); }
int PasswordCursorCount() { return (int)EnvironmentNumber("NIMBRA_PASSWORD_CURSOR", 10); }

// The system's handle table: a count, then 16-byte entries whose first field is
// the owning process id.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
typedef LONG (WINAPI *QuerySystemInformationProc)(ULONG infoClass, PVOID buffer, ULONG size, PULONG needed);
static const ULONG SystemHandleInformation = 16;

int ProcessHandleCount()
{
    QuerySystemInformationProc query = (QuerySystemInformationProc)(void *)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    while (query != NULL && query(SystemHandleInformation, buffer.data(), (ULONG)buffer.size(), &needed) != 0) {
        if (buffer.size() >= (64u << 20))
            return -1;
        buffer.resize(buffer.size() * 2);
    }
    if (query == NULL)
        return -1;
    const HandleTable *table = (const HandleTable *)buffer.data();
    int count = 0;
    for (ULONG i = 0; i < table->count; i++)
        count += table->entries[i].ownerPid == GetCurrentProcessId();
    return count;
}
