// The screen-saver command line: program name, optional '-' and '/', one mode
// letter, and for some modes a window handle.
#include "framework/startup/entry.h"

#include <stdio.h>

#include "framework/config/config_host.h"
#include "framework/startup/runners.h"

static const ParsedCommandLine Refused = {ScreenSaverMode::Refused, nullptr};

// Only the blank separates; tabs belong to the word they are in.
static const char *SkipBlanks(const char *p)
{
    while (*p == ' ')
        ++p;
    return p;
}

static const char *SkipBlanksAndColons(const char *p)
{
    while (*p == ' ' || *p == ':')
        ++p;
    return p;
}

// Returns null when a quoted program name has no closing quote.
static const char *SkipProgramName(const char *line)
{
    if (*line == '"') {
        const char *close = line + 1;
        while (*close && *close != '"')
            ++close;
        return *close ? close + 1 : nullptr;
    }
    while (*line && *line != ' ')
        ++line;
    return line;
}

// Reads a C integer ("%i": decimal, 0x hexadecimal, 0 octal, optional sign) and
// takes it for a window handle; null when there is no number.
static HWND ReadWindowNumber(const char *text)
{
    int value = 0;
    if (sscanf(text, "%i", &value) != 1)
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}

static ParsedCommandLine ParseOwner(const char *afterLetter)
{
    const char *text = SkipBlanksAndColons(afterLetter);
    HWND owner = *text ? ReadWindowNumber(text) : nullptr;
    if (!owner || !IsWindow(owner))
        owner = GetForegroundWindow();
    return {ScreenSaverMode::ChangePassword, owner};
}

static ParsedCommandLine ParsePreviewParent(const char *letter)
{
    HWND parent = ConnectPreviewHelper(letter);
    if (parent)
        return {ScreenSaverMode::Preview, parent};
    const char *text = SkipBlanksAndColons(letter + 1);
    if (!*text)
        return Refused;
    parent = ReadWindowNumber(text);
    if (!parent || !IsWindow(parent))
        return Refused;
    return {ScreenSaverMode::Preview, parent};
}

ParsedCommandLine ParseCommandLine(const char *line)
{
    if (!line)
        return Refused;
    const char *p = SkipProgramName(line);
    if (!p)
        return Refused;
    p = SkipBlanks(p);
    if (!*p)
        return {ScreenSaverMode::Configure, nullptr};
    if (*p == '-')
        ++p;
    if (*p == '/')
        ++p;
    switch (*p) {
    case 'A': case 'a': return ParseOwner(p + 1);
    case 'C': case 'c': return {ScreenSaverMode::Configure, GetForegroundWindow()};
    case 'P': case 'p':
    case 'L': case 'l': return ParsePreviewParent(p);
    case 'S': case 's': return {ScreenSaverMode::Saver, nullptr};
    }
    return Refused;
}

int DispatchCommandLine()
{
    ParsedCommandLine parsed = ParseCommandLine(GetCommandLineA());
    switch (parsed.mode) {
    case ScreenSaverMode::Saver:          return RunSaverMode();
    case ScreenSaverMode::Preview:        return RunPreviewMode(parsed.window);
    case ScreenSaverMode::ChangePassword: return RunChangePasswordMode(parsed.window);
    case ScreenSaverMode::Configure:      return DoConfigDialog(parsed.window, 0);
    case ScreenSaverMode::Refused:        break;
    }
    return 2;
}
