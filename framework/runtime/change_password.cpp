// Changing the screen-saver password: the system's component, or the client's own.
#include "framework/runtime/password.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

static const int NameCapacity = 99;

typedef DWORD (WINAPI *PwdChangePasswordProc)(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved);

static bool LoadName(UINT id, char *buffer)
{
    return LoadStringA(FrameworkModule, id, buffer, NameCapacity) > 0;
}

static int RefuseChange(HWND hwnd)
{
    char text[NameCapacity];
    if (!LoadName(3541, text))
        lstrcpyA(text, "Cannot change password");
    return MessageBoxA(hwnd, text, "Password", MB_OK);
}

int DoChangePwDialog(HWND hwnd)
{
    if (CurrentPrefs.neverRequirePassword)
        return RefuseChange(hwnd);
    char libraryName[NameCapacity];
    if (!LoadName(3520, libraryName))
        return 2;
    HMODULE library = LoadLibraryA(libraryName);
    if (library == NULL)
        return 2;
    char procName[NameCapacity];
    char provider[NameCapacity];
    PwdChangePasswordProc change = NULL;
    if (LoadName(3521, procName))
        change = (PwdChangePasswordProc)(void *)GetProcAddress(library, procName);
    if (change == NULL || !LoadName(3522, provider)) {
        FreeLibrary(library);
        return 2;
    }
    change(provider, hwnd, 0, 0);
    FreeLibrary(library);
    return 1;
}

int HookedChangePassword(HWND hwnd)
{
    if (ChangePasswordHook != NULL) {
        int result = ChangePasswordHook(hwnd);
        if (result != HOOK_DEFAULT)
            return result;
    }
    return DoChangePwDialog(hwnd);
}

int HostedChangePassword(HWND hwnd)
{
    if (SendMessageA(HostWindow, SCRM_CHANGEPASSWORD, (WPARAM)hwnd, 0) != 0)
        return 1;
    return DoChangePwDialog(hwnd);
}
