// Shared pieces of the start-up tests: the process command line as the framework
// reads it, and a saver window procedure that records what each saver window is
// created with. Message boxes and message pumping come from tests/support.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/message_box_catcher.h"
#include "support/pump.h"

// Replaces the text GetCommandLineA returns for this process. The new text must
// not be longer than the one the test was started with.
bool SetProcessCommandLine(const char *text);

// What a saver window received in its WM_CREATE, before DefSaverProc.
struct SeenCreation {
    HWND hwnd;
    long kind;
    long reserved;
    std::string className;
    std::string title;
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    HWND parent;
    HINSTANCE instance;
};
extern std::vector<SeenCreation> seenCreations;

// A client saver procedure that records WM_CREATE and passes everything on.
LRESULT CALLBACK RecordingSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers name with the given procedure in this module (as the entry points do).
void RegisterTestSaverClass(const char *name, WNDPROC proc);
