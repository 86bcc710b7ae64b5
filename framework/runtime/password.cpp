// Whether a password is needed, and its verification through the system's component.
#include "framework/runtime/password.h"
#include "framework/config/resource_lookup.h"
#include "framework/runtime/saver_runtime.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

DWORD (WINAPI *PasswordTickCount)(void) = GetTickCount;

// A saver that declares its password policy is taken at its word; the page shows
// the same sentence to the user.
static bool PolicyDecides(int *needed)
{
    if (CurrentPrefs.alwaysRequirePassword) {
        DebugOut("NeedPassword: this screensaver always uses a password");
        *needed = 1;
        return true;
    }
    if (CurrentPrefs.neverRequirePassword) {
        DebugOut("NeedPassword: this screensaver never requires a password");
        *needed = 0;
        return true;
    }
    return false;
}

static int DesktopUsesPassword()
{
    DebugOut("NeedPassword?: checking the registry");
    char keyName[NameCapacity];
    if (!LoadFrameworkString(3523, keyName, sizeof keyName)) {
        DebugOut("NeedPassword: failed to load screensaver reg. key string. Aborting");
        return 0;
    }
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, keyName, &key) != ERROR_SUCCESS) {
        DebugOut("NeedPassword: could not get screensaver reg. key. Aborting");
        return 0;
    }
    char valueName[NameCapacity];
    if (!LoadFrameworkString(3524, valueName, sizeof valueName)) {
        RegCloseKey(key);
        DebugOut("NeedPassword: failed to load 'usepw' key name. Aborting");
        return 0;
    }
    BYTE value[4] = {0, 0, 0, 0};
    DWORD size = sizeof value;
    LONG status = RegQueryValueExA(key, valueName, NULL, NULL, value, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        DebugOut("NeedPassword: failed to get 'usepw' value from registry. Aborting");
        return 0;
    }
    DWORD usePassword = value[0] | value[1] << 8 | value[2] << 16 | (DWORD)value[3] << 24;
    if (usePassword != 0) {
        DebugOut("NeedPassword: yes, we do need the password");
        return 1;
    }
    DebugOut("NeedPassword: no, we don't need the password");
    return 0;
}

int NeedPassword()
{
    int needed;
    if (PolicyDecides(&needed))
        return needed;
    DebugOut("NeedPassword? Checking the timer");
    DWORD elapsed = PasswordTickCount() - RuntimeState.passwordClock;
    if (elapsed / 1000 < RuntimeState.passwordDelay) {
        DebugOut("Nope, we're within the delay...");
        return 0;
    }
    return DesktopUsesPassword();
}

typedef BOOL (WINAPI *VerifyScreenSavePwdProc)(HWND owner);

int DoVerifyPwDialog(HWND hwnd)
{
    DebugOut("DoVerifyPwDialog: using Master Password Router");
    char libraryName[NameCapacity];
    if (!LoadFrameworkString(3525, libraryName, sizeof libraryName)) {
        DebugOut("DoVerifyPwDialog: failed to load pwdprovidername string. Aborting");
        return IDOK;
    }
    HMODULE library = LoadLibraryA(libraryName);
    if (library == NULL) {
        DebugOut("DoVerifyPwDialog: unable to load pwdprovider library. Aborting");
        return IDOK;
    }
    char procName[NameCapacity];
    if (!LoadFrameworkString(3526, procName, sizeof procName)) {
        DebugOut("DoVerifyPwDialog: failed to load 'verifypw' string. Aborting");
        FreeLibrary(library);
        return IDOK;
    }
    VerifyScreenSavePwdProc verify = (VerifyScreenSavePwdProc)(void *)GetProcAddress(library, procName);
    if (verify == NULL) {
        DebugOut("DoVerifyPwDialog: could not get verifypw proc address. Aborting");
        FreeLibrary(library);
        return IDOK;
    }
    ShowCursor(TRUE);
    DebugOut("DoVerifyPwDialog: about to do VerifyScreenSavePwd...");
    BOOL accepted = verify(hwnd);
    ShowCursor(FALSE);
    FreeLibrary(library);
    if (accepted) {
        DebugOut("DoVerifyPwDialog: verifypwd returned TRUE!. Returing IDOK");
        return IDOK;
    }
    DebugOut("DoVerifyPwDialog: verifypwd returned FALSE. Returning IDCANCEL");
    return IDCANCEL;
}
