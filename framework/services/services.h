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

// For test programs that run many cases in one process: ends the timer threads,
// closes the framework and forgets every entry point's state, so that the next
// public call initialises as in a fresh process. Not while a mode runs. Returns
// whether all timer threads had ended.
bool ResetFramework();

void DebugOut(const char *text);
void DebugOutFrom(const char *source, const char *text);
int DebugMessageBox(HWND owner, const char *text, const char *caption);
