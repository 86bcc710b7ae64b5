// Framework-wide services: lazy initialisation, shutdown, the monitor classes,
// the debug log and the debug-only message box.
#pragma once
#include <windows.h>

extern HMODULE FrameworkModule;       // where the framework's own resources live
extern bool frameworkInitialised;
extern bool FrameworkAsLibrary;

void ScrEnsureInit();
bool ScrInitProcess();
bool ScrCloseProcess();
bool RegisterControls();
bool UnregisterControls();

void DebugOut(const char *text);
void DebugOutFrom(const char *source, const char *text);
int DebugMessageBox(HWND owner, const char *text, const char *caption);
