// Spies on the platform calls whose effect a bare X server cannot show: display-mode
// changes and the system commands handed to the default window procedure.
#pragma once
#include <windows.h>
#include <vector>

struct DisplayChange {
    bool restore;             // no mode given: back to the registry's mode
    DWORD flags;
    DWORD size, fields, width, height, bits;
    bool sceneWindowExists;   // an "OpenGL" window existed at the call
    bool contextCurrent;      // a GL context was current at the call
    LONG result;
};

extern std::vector<DisplayChange> DisplayChanges;
void SpyOnDisplayChanges();

// WM_SYSCOMMAND reaching DefWindowProcA is recorded and not passed on; every other
// message is.
extern std::vector<WPARAM> DefaultSysCommands;
void SpyOnDefaultSysCommands();

// Puts the real functions back.
void StopSpying();
