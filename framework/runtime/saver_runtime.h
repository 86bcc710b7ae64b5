// State shared by all saver windows of the process.
#pragma once
#include <windows.h>

struct SaverRuntimeState {
    POINT cursorRef;       // mouse movement is measured from here
    DWORD passwordClock;   // GetTickCount() at WM_CREATE
    LONG dialogActive;     // a framework dialog is shown over the saver
    DWORD passwordDelay;   // seconds
    LONG mouseThreshold;   // pixels, per axis
    LONG activeConfig;
    HWND fullSaver;        // the full saver while it runs
};

extern SaverRuntimeState RuntimeState;
