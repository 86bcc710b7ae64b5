// The command line of a saver program as XScreenSaver and the lockers that run its
// programs give it: -window-id ID draws into that window; $XSCREENSAVER_WINDOW
// names the window the daemon made for the saver, its root window, so that with
// or without -root the program draws there; -root without it draws into the
// screen's root window; nothing into an 800 x 600 window of its own. Each option is
// accepted with one dash or two.
#pragma once
#include <string>

struct SaverOptions {
    enum Target { OwnWindow, GivenWindow, RootWindow };
    Target target = OwnWindow;
    unsigned long windowId = 0;   // for GivenWindow
};

// False, with the reason in error, for an option it does not know or a window
// id that is not a number. environmentWindow is $XSCREENSAVER_WINDOW or null;
// -window-id goes before it.
bool ParseSaverOptions(int argc, const char *const *argv, const char *environmentWindow,
                       SaverOptions *options, std::string *error);

extern const char SaverUsage[];
