// One-time initialisation, shutdown and the library build's process entry.
#include <string.h>

#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"

HMODULE FrameworkModule = NULL;
bool frameworkInitialised = false;
bool FrameworkAsLibrary = false;

static const int PathCapacity = 400;

// Drive letter and colon do not take part in the comparison.
static void BlankDrive(char *path)
{
    for (int i = 0; i < 2 && path[i] != '\0'; i++)
        path[i] = ' ';
}

// The Windows directory, a backslash unless it ends in one, then the library's
// name ("lullex.dll", on x64 "lullex64.dll"); path has room for PathCapacity + 16
// characters.
static void ExpectedLibraryPath(char *path)
{
    if (GetWindowsDirectoryA(path, PathCapacity) >= (UINT)PathCapacity)
        path[0] = '\0';
    size_t used = strlen(path);
    if (used == 0 || path[used - 1] != '\\')
        strcat(path, "\\");
    strcat(path, LULLEX_DLL_NAME);
}

// The library must sit in the Windows directory; tells the user where if not.
static bool CheckInstallDirectory()
{
    char actual[PathCapacity] = "";
    char expected[PathCapacity + 16] = "";
    GetModuleFileNameA(FrameworkModule, actual, PathCapacity);
    actual[PathCapacity - 1] = '\0';
    ExpectedLibraryPath(expected);
    BlankDrive(actual);
    BlankDrive(expected);
    CharUpperA(actual);
    CharUpperA(expected);
    if (strcmp(actual, expected) == 0)
        return true;

    char message[2000 + 2 + sizeof(expected)];
    if (LoadStringA(FrameworkModule, 56, message, 2000) <= 0)
        strcpy(message, "Wrong install directory. Put it in the windows directory");
    strcat(message, "\r\n");
    CharLowerA(expected);
    strcat(message, expected);
    MessageBoxA(NULL, message, "Lullex", MB_OK);
    return false;
}

void ScrEnsureInit()
{
    // The module handle stays known after closing, so this never runs twice.
    if (frameworkInitialised || FrameworkAsLibrary || FrameworkModule != NULL)
        return;
    FrameworkModule = GetModuleHandleA(NULL);
    ScrInitProcess();
}

bool ScrInitProcess()
{
    frameworkInitialised = true;
    if (FrameworkAsLibrary && !CheckInstallDirectory())
        return false;
    InitDefaultPrefs();
    InitMonitorResources();
    return RegisterControls();
}

bool ScrCloseProcess()
{
    DebugOut("Lullex: closing process...");
    if (!frameworkInitialised) {
        DebugOut("nothing to close!");
        return true;
    }
    ReleaseMonitorResources();
    frameworkInitialised = false;
    return UnregisterControls();
}

BOOL LULLEXAPI ScrLibraryEntry(HINSTANCE module, DWORD reason)
{
    FrameworkAsLibrary = true;
    switch (reason) {
    case DLL_PROCESS_ATTACH: FrameworkModule = module; return ScrInitProcess();
    case DLL_PROCESS_DETACH: return ScrCloseProcess();
    }
    return FALSE;
}
