// The framework's version text for the About box.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "framework/lullex.h"
#include "framework/services/services.h"

static const char LinkedVersion[] = LULLEX_VERSION_TEXT "s";

// The "FileVersion" string of the framework module's version resource, or
// false when any step of the lookup fails.
static bool ReadFileVersion(char *text, int capacity)
{
    char path[400] = "";
    if (GetModuleFileNameA(FrameworkModule, path, sizeof(path)) == 0)
        return false;
    path[sizeof(path) - 1] = '\0';
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return false;
    void *block = malloc(size);
    if (block == NULL)
        return false;
    bool found = false;
    DWORD *translation = NULL;
    UINT length = 0;
    if (GetFileVersionInfoA(path, handle, size, block) &&
        VerQueryValueA(block, "\\VarFileInfo\\Translation", (void **)&translation, &length) &&
        length >= sizeof(DWORD)) {
        // Language in the high half, code page in the low half.
        DWORD pair = (translation[0] << 16) | (translation[0] >> 16);
        char subBlock[64];
        snprintf(subBlock, sizeof(subBlock), "\\StringFileInfo\\%08lx\\%s", (unsigned long)pair,
                 "FileVersion");
        char *value = NULL;
        if (VerQueryValueA(block, subBlock, (void **)&value, &length) && value != NULL) {
            snprintf(text, capacity, "%s", value);
            found = true;
        }
    }
    free(block);
    return found;
}

int LULLEXAPI ScrGetVersion(char *buffer, int capacity)
{
    ScrEnsureInit();
    if (buffer == NULL || capacity <= 0)
        return 0;
    char version[400] = "";
    if (!FrameworkAsLibrary)
        strcpy(version, LinkedVersion);
    else if (!ReadFileVersion(version, sizeof(version)))
        version[0] = '\0';
    int length = (int)strlen(version);
    if (length > capacity - 1)
        length = capacity - 1;
    memcpy(buffer, version, length);
    buffer[length] = '\0';
    return length;
}
