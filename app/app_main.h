// The process entry's animation phase and the saver window procedure.
#pragma once
#include <windows.h>

extern BYTE KeyState[256];   // 1 while the key with that virtual-key code is down
extern BYTE SceneActive;     // 0 while the animation window is minimised

extern const char SceneTitle[];

// The message and frame loop; returns at WM_QUIT, at Escape found down on an empty
// queue, or when a frame cannot be drawn.
void RunSceneLoop();
// The saver windows' procedure handed to the framework: DefSaverProc, unchanged.
LRESULT CALLBACK SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
