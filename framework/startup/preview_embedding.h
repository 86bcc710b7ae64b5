// The property sheet's About entry.
#pragma once
#include <windows.h>

int CALLBACK ScrPropSheetCallback(HWND sheet, UINT msg, LPARAM lParam);
LRESULT CALLBACK SheetSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
