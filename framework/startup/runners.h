// Mode runners and the window-creation slots of the three entry variants.
#pragma once
#include "framework/lullex.h"

int RunSaverMode();
int RunPreviewMode(HWND parent);
int RunChangePasswordMode(HWND owner);

// Every slot hands the new window a SaverCreateParams allocated with malloc;
// DefSaverProc frees it with free at WM_CREATE.
// ScrRun: class "OvScreenSaverClass".
HWND CreateRunPreviewWindow(HWND parent, LONG forMonitor);
HWND CreateRunSaverWindow();
// ScrRunWithHooks: class "DummyScreenSaverClass", CreateHook first.
HWND CreateHookedPreviewWindow(HWND parent, LONG forMonitor);
HWND CreateHookedSaverWindow();
// ScrRunHosted: class "DummyScreenSaverClass", HostWindow asked first.
HWND CreateHostedPreviewWindow(HWND parent, LONG forMonitor);
HWND CreateHostedSaverWindow();

// ExecuteUserDialog and showAbout of the other two entry variants.
int HookedExecuteUserDialog(HWND owner, PROPSHEETHEADERA *header);
int HookedShowAbout(HWND owner);
int HostedExecuteUserDialog(HWND owner, PROPSHEETHEADERA *header);
int HostedShowAbout(HWND owner);
