// The debug log on the debugger output channel and the debug-only message box.
#include <string.h>

#include "framework/services/services.h"
#include "framework/startup/prefs.h"

// One line, terminator included; a long text is cut so that the suffix still fits.
static const int LineCapacity = 200;

static void AppendCut(char *line, int *length, const char *text, int limit)
{
    while (*length < limit && *text != '\0')
        line[(*length)++] = *text++;
}

static void SendLine(const char *prefixSource, const char *text, const char *suffix)
{
    char line[LineCapacity];   // per call: the timer threads log too
    int length = 0;
    const int suffixLength = (int)strlen(suffix);
    const int textLimit = LineCapacity - 1 - suffixLength;
    if (prefixSource != NULL) {
        AppendCut(line, &length, prefixSource, textLimit);
        AppendCut(line, &length, ": ", textLimit);
    }
    AppendCut(line, &length, text, textLimit);
    memcpy(line + length, suffix, suffixLength + 1);
    OutputDebugStringA(line);
}

void DebugOut(const char *text)
{
    if (!CurrentPrefs.debugMessages)
        return;
    SendLine(NULL, text, "___________  \n\r");
}

void DebugOutFrom(const char *source, const char *text)
{
    if (!CurrentPrefs.debugMessages)
        return;
    SendLine(source, text, "_________  \n\r");
}

int DebugMessageBox(HWND owner, const char *text, const char *caption)
{
    if (!CurrentPrefs.debugMessages)
        return 0;
    return MessageBoxA(owner, text, caption, MB_OK);
}
