// Help for the framework's controls and for a saver's own page.
#pragma once
#include <windows.h>

// The help file for a control: the framework's file (string 3560) when
// forceFramework is set or the file is found, else "Plus!.HLP" (string 3533).
// Returns false when no name could be loaded.
bool ChooseHelpFile(bool forceFramework, char *file, int capacity);

// The help call itself; WinHelpA unless a test watches the calls.
extern BOOL (WINAPI *WinHelpRoutine)(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
