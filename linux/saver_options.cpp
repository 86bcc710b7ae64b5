#include "linux/saver_options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef NIMBRA_VERSION_TEXT
#error "NIMBRA_VERSION_TEXT is the project's version"
#endif

const char SaverVersion[] = "nimbra " NIMBRA_VERSION_TEXT;

namespace {

// The X protocol's resource ids have 29 bits.
const unsigned long long largestWindowId = 0x1FFFFFFF;
const unsigned long long largestDelay = 10000000;   // 10 s
const unsigned long long largestSeed = 0xFFFFFFFF;

// Decimal digits only, or hexadecimal after 0x (as XScreenSaver writes window ids)
// when hex is allowed; within smallest and largest, nothing after it.
bool ParseNumber(const char *text, bool hex, unsigned long long smallest, unsigned long long largest,
                 unsigned long long *value)
{
    if (!text) return false;
    int base = 10;
    if (hex && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
        base = 16;
    }
    if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(*text)) : std::isdigit(static_cast<unsigned char>(*text))))
        return false;
    errno = 0;
    char *end = nullptr;
    const unsigned long long number = std::strtoull(text, &end, base);
    if (errno || *end || number < smallest || number > largest) return false;
    *value = number;
    return true;
}

bool TakeWindowId(const char *text, SaverOptions *options)
{
    unsigned long long id = 0;
    if (!ParseNumber(text, true, 1, largestWindowId, &id)) return false;
    options->windowId = static_cast<unsigned long>(id);
    options->target = SaverOptions::GivenWindow;
    return true;
}

bool TakeRoot(const char *, SaverOptions *options)
{
    options->target = SaverOptions::RootWindow;
    return true;
}

bool TakeDelay(const char *text, SaverOptions *options)
{
    unsigned long long delay = 0;
    if (!ParseNumber(text, false, 0, largestDelay, &delay)) return false;
    options->delay = static_cast<long>(delay);
    return true;
}

bool TakeFps(const char *, SaverOptions *options)
{
    options->showFrameRate = true;
    return true;
}

bool TakeSeed(const char *text, SaverOptions *options)
{
    unsigned long long seed = 0;
    if (!ParseNumber(text, false, 0, largestSeed, &seed)) return false;
    options->seed = static_cast<unsigned int>(seed);
    options->seedGiven = true;
    return true;
}

bool TakeFixedStep(const char *, SaverOptions *options)
{
    options->fixedStep = true;
    return true;
}

bool TakeHelp(const char *, SaverOptions *options)
{
    options->request = SaverOptions::ShowHelp;
    return true;
}

bool TakeVersion(const char *, SaverOptions *options)
{
    options->request = SaverOptions::ShowVersion;
    return true;
}

struct Option {
    const char *name;
    const char *argument;   // null for an option without one
    const char *help;
    bool (*take)(const char *argument, SaverOptions *options);
};

const Option Options[] = {
    {"root", nullptr, "draw into the root window", TakeRoot},
    {"window-id", "ID", "draw into window ID, 1 to 0x1FFFFFFF (also\n$XSCREENSAVER_WINDOW)", TakeWindowId},
    {"delay", "USEC", "the frame period in microseconds, 0 to 10000000 (default 30000,\n"
                      "about 33 frames a second)", TakeDelay},
    {"fps", nullptr, "show the frame rate on the picture", TakeFps},
    {"seed", "N", "start the random sequence from N, 0 to 4294967295 (default: from\n"
                  "the clock)", TakeSeed},
    {"fixed-step", nullptr, "advance the scene one step per frame, as the Windows program\n"
                            "does, instead of 60 steps a second of the clock", TakeFixedStep},
    {"help", nullptr, "print this usage on standard output and exit 0", TakeHelp},
    {"version", nullptr, "print \"nimbra <version>\" on standard output and exit 0", TakeVersion},
};

// "-name" and "--name" are the same option.
const Option *FindOption(const char *arg)
{
    if (arg[0] != '-') return nullptr;
    const char *name = arg[1] == '-' ? arg + 2 : arg + 1;
    for (const Option &option : Options)
        if (std::strcmp(name, option.name) == 0) return &option;
    return nullptr;
}

} // namespace

void PrintSaverUsage(std::FILE *stream)
{
    std::fputs("usage: nimbra [options]\n", stream);
    const int column = 18;
    for (const Option &option : Options) {
        const std::string left = std::string("-") + option.name + (option.argument ? std::string(" ") + option.argument : "");
        std::fprintf(stream, "  %-*s", column - 2, left.c_str());
        for (const char *line = option.help; *line;) {
            const char *end = std::strchr(line, '\n');
            const size_t length = end ? size_t(end - line) : std::strlen(line);
            std::fprintf(stream, "%s%.*s\n", line == option.help ? "" : "                  ", int(length), line);
            line += length + (end ? 1 : 0);
        }
    }
    std::fputs("Each option takes one dash or two. With neither -root nor -window-id, nimbra\n"
               "draws into an 800 x 600 window of its own. Exit codes: 0 after the animation,\n"
               "1 when the window, the GL context or a texture cannot be had, 2 for a bad\n"
               "command line.\n",
               stream);
}

bool ParseSaverOptions(int argc, const char *const *argv, const char *environmentWindow,
                       SaverOptions *options, std::string *error)
{
    SaverOptions parsed;
    for (int i = 1; i < argc && parsed.request == SaverOptions::Animate; ++i) {
        const Option *option = FindOption(argv[i]);
        if (!option) {
            *error = std::string("unknown option ") + argv[i];
            return false;
        }
        const char *argument = option->argument && i + 1 < argc ? argv[i + 1] : nullptr;
        if (!option->take(argument, &parsed)) {
            *error = std::string("not a valid ") + option->argument + " after " + argv[i] +
                     (argument ? std::string(": ") + argument : std::string());
            return false;
        }
        if (option->argument) ++i;
    }
    // The daemon's window is the root window of a saver it runs: -root draws there.
    if (parsed.target != SaverOptions::GivenWindow && environmentWindow && *environmentWindow) {
        if (!TakeWindowId(environmentWindow, &parsed)) {
            *error = std::string("XSCREENSAVER_WINDOW is not a window id: ") + environmentWindow;
            return false;
        }
    }
    *options = parsed;
    return true;
}
