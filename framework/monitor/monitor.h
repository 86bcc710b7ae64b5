// The monitor control: a monitor picture with corner buttons or an inner
// window for a saver preview. All its state lives in its style bits.
#pragma once
#include <windows.h>

extern HBITMAP monitorBitmap;      // picture left half, mask right half
extern HBITMAP cornerBitmap[3];    // default, now, never
extern HMENU cornerMenu[4];        // top-left, top-right, bottom-right, bottom-left
extern RECT cornerRect[4];
extern RECT screenRect;
extern int monitorWidth, monitorHeight;
extern int cornerWidth, cornerHeight;
extern bool agentPresent;          // set by the General page
extern bool agentWarned;

void InitMonitorResources();       // the monitor steps of ScrInitProcess
void ReleaseMonitorResources();    // bitmaps and menus, at ScrCloseProcess

LRESULT CALLBACK MonitorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MonitorScreenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
