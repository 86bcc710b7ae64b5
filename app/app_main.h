// The process entry's animation phase and the saver window procedure.
#pragma once
#include <windows.h>

extern BYTE KeyState[256];
extern BYTE SceneActive;

int RunAnimation();   // open the window, loop until Escape or close, tear down; false when it could not open
LRESULT CALLBACK SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
