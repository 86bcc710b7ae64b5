// The General page of the configuration property sheet (dialog 3601).
#pragma once
#include <windows.h>

INT_PTR CALLBACK GeneralDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
