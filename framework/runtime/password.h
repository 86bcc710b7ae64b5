// Password decision, verification and change through the system's components.
#pragma once
#include <windows.h>

int NeedPassword();
int DoVerifyPwDialog(HWND hwnd);
int DoChangePwDialog(HWND hwnd);
