// The animation's GL window: display mode, window, pixel format and context.
#pragma once
#include <windows.h>
#include "app/scene_projection.h"

extern HWND SceneWindow;
extern HDC SceneDC;       // private DC of the window class; valid from creation to teardown
extern HGLRC SceneRC;
extern BYTE FullScreen;   // 1 while the display mode is ours to restore

// True when the window is on screen with a current context and an initialised scene;
// false after its message box has been shown and whatever was built is torn down.
bool OpenSceneWindow(const char *title, int width, int height, int bits, bool fullScreenRequest);
// Releases context, DC and window, then restores the display mode; any subset may exist.
void CloseSceneWindow();
LRESULT CALLBACK SceneWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
