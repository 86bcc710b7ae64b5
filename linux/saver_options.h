// The command line of a saver program as XScreenSaver and the lockers that run its
// programs give it: -window-id ID draws into that window; $XSCREENSAVER_WINDOW
// names the window the daemon made for the saver, its root window, so that with
// or without -root the program draws there; -root without it draws into the
// screen's root window; nothing into an 800 x 600 window of its own. Each option is
// accepted with one dash or two.
#pragma once
#include <cstdio>
#include <string>

struct SaverOptions {
    enum Target { OwnWindow, GivenWindow, RootWindow };
    enum Request { Animate, ShowHelp, ShowVersion };
    Target target = OwnWindow;
    unsigned long windowId = 0;   // for GivenWindow
    long delay = 30000;           // the frame period in microseconds
    bool showFrameRate = false;
    bool seedGiven = false;
    unsigned int seed = 0;        // for seedGiven
    bool fixedStep = false;       // one step per frame instead of 60 a second
    Request request = Animate;
};

// False, with the reason in error, for an option it does not know or a value out
// of its range. environmentWindow is $XSCREENSAVER_WINDOW or null; -window-id goes
// before it. -help and -version end the parsing with their request.
bool ParseSaverOptions(int argc, const char *const *argv, const char *environmentWindow,
                       SaverOptions *options, std::string *error);

// The usage, made from the option table.
void PrintSaverUsage(std::FILE *stream);

extern const char SaverVersion[];   // "nimbra <version>"
