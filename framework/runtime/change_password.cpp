// Changing the screen-saver password: the system's component, or the client's own.
#include "framework/runtime/password.h"
#include "framework/config/resource_lookup.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

typedef DWORD (WINAPI *PwdChangePasswordProc)(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved);

static int RefuseChange(HWND hwnd)
{
    char text[NameCapacity];
    if (!LoadFrameworkString(3541, text, sizeof text))
        lstrcpyA(text, "Cannot change password");
    return MessageBoxA(hwnd, text, "Password", MB_OK);
}

int DoChangePwDialog(HWND hwnd)
{
    if (CurrentPrefs.neverRequirePassword)
        return RefuseChange(hwnd);
    char libraryName[NameCapacity];
    if (!LoadFrameworkString(3520, libraryName, sizeof libraryName))
        return 2;
    HMODULE library = LoadLibraryA(libraryName);
    if (library == NULL)
        return 2;
    char procName[NameCapacity];
    char provider[NameCapacity];
    PwdChangePasswordProc change = NULL;
    if (LoadFrameworkString(3521, procName, sizeof procName))
        change = (PwdChangePasswordProc)(void *)GetProcAddress(library, procName);
    if (change == NULL || !LoadFrameworkString(3522, provider, sizeof provider)) {
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
