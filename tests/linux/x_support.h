// What the native tests need from the X server and from the program under test:
// windows to hand it, the brightness of what it drew, and a way to start, signal
// and wait for it.
#pragma once
#include <X11/Xlib.h>
#include <functional>
#include <string>
#include <vector>

// Waits for the condition, polling, for at most the given milliseconds.
bool WaitUntil(const std::function<bool()> &condition, int milliseconds = 10000);

// A connection to the test's X server. An X server without -noreset starts afresh
// when its last client leaves and refuses connections meanwhile, so this waits for
// one. X errors are ignored: the lanes' servers are shared with other tests, whose
// windows may go between a listing and a question about them, and a failed
// request shows in its result (a missing image, a missing name).
Display *OpenTestDisplay();

// A mapped top-level window of the given size on the default screen.
Window CreateTestWindow(Display *display, int width, int height);

// The number of pixels of the window's rectangle whose brightest channel exceeds 40.
int LitPixels(Display *display, Window window, int x, int y, int width, int height);

struct Program {
    int pid = -1;
    std::string errorFile;    // its standard error
    std::string outputFile;   // its standard output

    // Starts path with args; extraEnvironment entries ("NAME=value") are added,
    // names in removeEnvironment removed.
    bool Start(const std::string &path, const std::vector<std::string> &args,
               const std::vector<std::string> &extraEnvironment = {},
               const std::vector<std::string> &removeEnvironment = {"XSCREENSAVER_WINDOW"});
    // Waits for the end, at most the given milliseconds; its exit code, or -1 for
    // a program that did not end or ended by a signal.
    int Wait(int milliseconds = 10000);
    bool Running();
    std::string ErrorText() const;
    std::string OutputText() const;
    ~Program();
};

// The CPU time a process has used so far, in seconds (user and system), and its
// state letter ('R', 'S', 'Z' once its code has ended but it is not yet reaped...).
double CpuSeconds(int pid);
char ProcessState(int pid);

// The top-level window whose name is title, or 0.
Window FindWindowNamed(Display *display, const char *title);
