// Password decision, verification and change through the system's components.
#pragma once
#include <windows.h>

// Clock of the password delay; GetTickCount unless a test drives it.
extern DWORD (WINAPI *PasswordTickCount)(void);

int NeedPassword();
int DoVerifyPwDialog(HWND hwnd);
int DoChangePwDialog(HWND hwnd);

// changePassword of ScrRunWithHooks: ChangePasswordHook first, HOOK_DEFAULT falls back.
int HookedChangePassword(HWND hwnd);
// changePassword of ScrRunHosted: SCRM_CHANGEPASSWORD to HostWindow first.
int HostedChangePassword(HWND hwnd);
