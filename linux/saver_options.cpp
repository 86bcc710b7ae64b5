#include "linux/saver_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char SaverUsage[] =
    "usage: nimbra [-root | -window-id ID]\n"
    "  -root          draw into the root window\n"
    "  -window-id ID  draw into the window ID (also $XSCREENSAVER_WINDOW)\n"
    "  with neither, nimbra draws into an 800 x 600 window of its own\n";

namespace {

// "-name" and "--name" are the same option.
bool IsOption(const char *arg, const char *name)
{
    if (arg[0] != '-') return false;
    const char *rest = arg[1] == '-' ? arg + 2 : arg + 1;
    return std::strcmp(rest, name) == 0;
}

// Decimal, or hexadecimal with 0x as XScreenSaver writes it; nothing else after it.
bool ParseWindowId(const char *text, unsigned long *id)
{
    if (!text || !*text || *text == '-') return false;
    errno = 0;
    char *end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (errno || *end || value == 0) return false;
    *id = value;
    return true;
}

} // namespace

bool ParseSaverOptions(int argc, const char *const *argv, const char *environmentWindow,
                       SaverOptions *options, std::string *error)
{
    SaverOptions parsed;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (IsOption(arg, "root")) {
            parsed.target = SaverOptions::RootWindow;
        } else if (IsOption(arg, "window-id")) {
            if (!ParseWindowId(i + 1 < argc ? argv[i + 1] : nullptr, &parsed.windowId)) {
                *error = std::string("not a window id after ") + arg;
                return false;
            }
            parsed.target = SaverOptions::GivenWindow;
            ++i;
        } else {
            *error = std::string("unknown option ") + arg;
            return false;
        }
    }
    // The daemon's window is the root window of a saver it runs: -root draws there.
    if (parsed.target != SaverOptions::GivenWindow && environmentWindow && *environmentWindow) {
        if (!ParseWindowId(environmentWindow, &parsed.windowId)) {
            *error = std::string("XSCREENSAVER_WINDOW is not a window id: ") + environmentWindow;
            return false;
        }
        parsed.target = SaverOptions::GivenWindow;
    }
    *options = parsed;
    return true;
}
