// State of the entry points and the common body that runs a mode.
#pragma once
#include "framework/lullex.h"

// The operations an entry point gives the common body.
struct ModeOps {
    HWND (*createPreviewWindow)(HWND parent, LONG forMonitor);
    HWND (*createSaverWindow)();
    int (*ExecuteUserDialog)(HWND owner, PROPSHEETHEADERA *header);
    int (*showAbout)(HWND owner);
    int (*changePassword)(HWND owner);
};

extern bool FrameworkRunning;
extern HINSTANCE ClientInstance;
extern ModeOps CurrentModeOps;

// ScrRun
extern DLGPROC ClientDialogProc;
extern bool ClientHasAboutBox;
// ScrRunWithHooks
extern ScrCreateHook CreateHook;
extern ScrPropertySheetHook PropertySheetHook;
extern ScrAboutHook AboutHook;
extern ScrChangePasswordHook ChangePasswordHook;
// ScrRunHosted
extern HWND HostWindow;

int RunFramework(HINSTANCE instance, HWND (*createPreviewWindow)(HWND, LONG),
                 HWND (*createSaverWindow)(), int (*executeUserDialog)(HWND, PROPSHEETHEADERA *),
                 int (*showAbout)(HWND), int (*changePassword)(HWND));

// What a screen-saver command line asks for.
enum class ScreenSaverMode { Refused, Saver, Preview, Configure, ChangePassword };

struct ParsedCommandLine {
    ScreenSaverMode mode;
    HWND window;   // preview parent, or owner of the configuration and password dialogs
};

// Reads the command line text (program name first); may start the preview helper.
ParsedCommandLine ParseCommandLine(const char *line);
int DispatchCommandLine();
HWND ConnectPreviewHelper(const char *tail);
void CheckResources();
