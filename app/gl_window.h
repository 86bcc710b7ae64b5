// The animation's GL window: display mode, window, pixel format and context.
#pragma once
#include <windows.h>

extern HWND SceneWindow;
extern HDC SceneDC;
extern HGLRC SceneRC;
extern BYTE FullScreen;   // 1 while the display mode is ours to restore

bool OpenSceneWindow(const char *title, int width, int height, int bits, bool fullScreenRequest);
void CloseSceneWindow();
void ResizeScene(int width, int height);
LRESULT CALLBACK SceneWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
