// What the monitor control does for each message it handles.
#pragma once
#include <windows.h>

void SnapToPictureSize(HWND hwnd);
void CreateScreenWindowIfPreview(HWND hwnd);
void PaintMonitor(HWND hwnd);
void TrackCornerMenu(HWND hwnd, int x, int y);
void ApplyCornerChoice(HWND hwnd, UINT id);
