// A /p command line may name the preview helper program instead of a window:
// find (or start) the helper and hand back the child window it offers.
#include "framework/startup/entry.h"

#include <ctype.h>
#include <string.h>

#include "framework/services/services.h"

static const int HelperNameCapacity = 99;
static const int MessageCapacity = 199;
static const DWORD HelperIdleWait = 2000;

// Shown whatever the debug preferences say; skipped when the string is missing.
static void ShowHelperMessage(UINT id, const char *caption)
{
    char text[MessageCapacity];
    if (LoadStringA(FrameworkModule, id, text, MessageCapacity) > 0)
        MessageBoxA(nullptr, text, caption, MB_OK);
}

static void ToLower(char *text)
{
    for (; *text; ++text)
        *text = static_cast<char>(tolower(static_cast<unsigned char>(*text)));
}

// The word after the mode letter, in lower case, cut to the buffer.
static void TakeWordAfterLetter(const char *tail, char *word, size_t capacity)
{
    char copy[HelperNameCapacity + 1];
    strncpy(copy, tail, HelperNameCapacity);
    copy[HelperNameCapacity] = '\0';

    const char *p = copy[0] ? copy + 1 : copy;
    while (*p == ' ')
        ++p;
    size_t length = 0;
    while (p[length] && p[length] != ' ' && length + 1 < capacity)
        ++length;
    memcpy(word, p, length);
    word[length] = '\0';
    ToLower(word);
}

// Starts the helper by its lower-case name; false after its message was shown.
// The name goes in the command line only: given as the module name, a name
// without extension would have to be a file of exactly that name in the
// current directory, whereas from the command line the system appends ".exe"
// and searches the program's directory, the current one and the path.
static bool StartHelper(const char *name, const char *caption)
{
    char commandLine[HelperNameCapacity];
    strcpy(commandLine, name);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                        &startup, &process)) {
        ShowHelperMessage(51, caption);
        return false;
    }
    DWORD idle = WaitForInputIdle(process.hProcess, HelperIdleWait);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (idle == WAIT_TIMEOUT) {
        ShowHelperMessage(52, caption);
        return false;
    }
    if (idle == WAIT_FAILED) {
        ShowHelperMessage(53, caption);
        return false;
    }
    HWND helper = FindWindowA(name, nullptr);
    if (helper)
        SetForegroundWindow(helper);
    return true;
}

HWND ConnectPreviewHelper(const char *tail)
{
    char caption[HelperNameCapacity];
    if (LoadStringA(FrameworkModule, 50, caption, HelperNameCapacity) <= 0)
        return nullptr;
    char name[HelperNameCapacity];
    strcpy(name, caption);
    ToLower(name);

    char word[HelperNameCapacity + 1];
    TakeWordAfterLetter(tail, word, sizeof(word));
    if (strcmp(word, name) != 0)
        return nullptr;

    if (!FindWindowA(name, nullptr) && !StartHelper(name, caption))
        return nullptr;
    HWND helper = FindWindowA(name, nullptr);
    if (!helper) {
        ShowHelperMessage(54, caption);
        return nullptr;
    }
    HWND child = GetWindow(helper, GW_CHILD);
    if (!child) {
        ShowHelperMessage(55, caption);
        return nullptr;
    }
    return child;
}
